// System services that do nothing but remember what was asked of them, for
// tests: launched command lines, beeps, yes/no questions (answered from a
// script) and debug output. Safe to use from several threads.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/system.h"

namespace lumox {

class RecordingSystemServices final : public SystemServices {
 public:
  struct Question {
    std::string title;
    std::string text;
  };

  bool LaunchProgram(const std::string& commandLine) override;
  void Beep() override;
  bool AskYesNo(const std::string& title, const std::string& text) override;
  void DebugOutput(const std::string& text) override;

  // Answers for the coming questions, in order; once they run out every
  // question gets the default answer (No unless changed).
  void QueueAnswer(bool yes);
  void SetDefaultAnswer(bool yes);
  // What LaunchProgram reports (true unless changed).
  void SetLaunchResult(bool started);

  std::vector<std::string> launches() const;
  int beeps() const;
  std::vector<Question> questions() const;
  std::vector<std::string> debugLines() const;
  void Clear();

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> launches_;
  int beeps_ = 0;
  std::vector<Question> questions_;
  std::deque<bool> answers_;
  bool defaultAnswer_ = false;
  bool launchResult_ = true;
  std::vector<std::string> debugLines_;
};

}  // namespace lumox
