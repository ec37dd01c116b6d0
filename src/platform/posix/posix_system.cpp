#include "platform/posix/posix_system.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <thread>

extern char** environ;

namespace lumox {

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  char quote = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quote == '\'') {
      if (c == '\'') quote = 0; else word += c;
    } else if (c == '\\' && i + 1 < line.size() && (quote == 0 || line[i + 1] == '"' ||
                                                    line[i + 1] == '\\')) {
      word += line[++i];
      inWord = true;
    } else if (quote == '"') {
      if (c == '"') quote = 0; else word += c;
    } else if (c == '"' || c == '\'') {
      quote = c;
      inWord = true;
    } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (quote != 0) return {};
  if (inWord) words.push_back(std::move(word));
  return words;
}

bool PosixSystemServices::LaunchProgram(const std::string& commandLine) {
  std::vector<std::string> words = SplitCommandLine(commandLine);
  if (words.empty()) return false;
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  // The program runs on its own; a waiter collects its exit status so it
  // never lingers as a zombie.
  std::thread([pid] {
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

void PosixSystemServices::Beep() {
  if (isatty(STDERR_FILENO)) {
    const char bell = '\a';
    [[maybe_unused]] ssize_t written = write(STDERR_FILENO, &bell, 1);
  }
}

bool PosixSystemServices::AskYesNo(const std::string& title, const std::string& text) {
  const int tty = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (tty < 0) return false;  // nobody to ask: the cautious answer
  // A background job that read the terminal would be stopped (SIGTTIN):
  // only the foreground process group may ask.
  if (tcgetpgrp(tty) != getpgrp()) {
    close(tty);
    return false;
  }
  FILE* terminal = fdopen(tty, "r+");
  if (terminal == nullptr) {
    close(tty);
    return false;
  }
  bool yes = false;
  for (;;) {
    std::fprintf(terminal, "%s\n%s\n[y/n] ", title.c_str(), text.c_str());
    std::fflush(terminal);
    char reply[64];
    if (std::fgets(reply, sizeof reply, terminal) == nullptr) break;  // end of input: No
    if (reply[0] == 'y' || reply[0] == 'Y') {
      yes = true;
      break;
    }
    if (reply[0] == 'n' || reply[0] == 'N') break;
  }
  std::fclose(terminal);
  return yes;
}

void PosixSystemServices::DebugOutput(const std::string& text) {
  std::string line = text;
  if (line.empty() || line.back() != '\n') line += '\n';
  std::fputs(line.c_str(), stderr);
}

}  // namespace lumox
