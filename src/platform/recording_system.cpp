#include "platform/recording_system.h"

namespace lumox {

bool RecordingSystemServices::LaunchProgram(const std::string& commandLine) {
  std::lock_guard lock(mutex_);
  launches_.push_back(commandLine);
  return launchResult_;
}

void RecordingSystemServices::Beep() {
  std::lock_guard lock(mutex_);
  ++beeps_;
}

bool RecordingSystemServices::AskYesNo(const std::string& title, const std::string& text) {
  std::lock_guard lock(mutex_);
  questions_.push_back({title, text});
  if (answers_.empty()) return defaultAnswer_;
  const bool answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void RecordingSystemServices::DebugOutput(const std::string& text) {
  std::lock_guard lock(mutex_);
  debugLines_.push_back(text);
}

void RecordingSystemServices::QueueAnswer(bool yes) {
  std::lock_guard lock(mutex_);
  answers_.push_back(yes);
}

void RecordingSystemServices::SetDefaultAnswer(bool yes) {
  std::lock_guard lock(mutex_);
  defaultAnswer_ = yes;
}

void RecordingSystemServices::SetLaunchResult(bool started) {
  std::lock_guard lock(mutex_);
  launchResult_ = started;
}

std::vector<std::string> RecordingSystemServices::launches() const {
  std::lock_guard lock(mutex_);
  return launches_;
}

int RecordingSystemServices::beeps() const {
  std::lock_guard lock(mutex_);
  return beeps_;
}

std::vector<RecordingSystemServices::Question> RecordingSystemServices::questions() const {
  std::lock_guard lock(mutex_);
  return questions_;
}

std::vector<std::string> RecordingSystemServices::debugLines() const {
  std::lock_guard lock(mutex_);
  return debugLines_;
}

void RecordingSystemServices::Clear() {
  std::lock_guard lock(mutex_);
  launches_.clear();
  beeps_ = 0;
  questions_.clear();
  answers_.clear();
  debugLines_.clear();
}

}  // namespace lumox
