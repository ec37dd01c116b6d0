// What the page models ask of a view, answered with Qt's file choosers and
// message boxes: the models' ConfigDialogs, and the yes/no questions and
// beeps of the system services (launching programs stays the platform's).
#pragma once

#include <QWidget>

#include "config/config_session.h"
#include "platform/system.h"

namespace lumox::qt {

// Qt's filter text for a chooser's type list entry: "Bitmaps (*.BMP *.bmp)".
// Patterns are given in both cases, since file names on Linux keep theirs,
// and "*.*" also as "*".
QString QtFilter(const FileFilter& filter);

class QtConfigDialogs final : public ConfigDialogs {
 public:
  explicit QtConfigDialogs(QWidget* parent) : parent_(parent) {}
  std::vector<std::string> AskOpenFiles(const FileRequest& request) override;
  std::string AskSaveFile(const FileRequest& request) override;
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override;

 private:
  QWidget* parent_;
};

class QtSystemServices final : public SystemServices {
 public:
  QtSystemServices(SystemServices& platform, QWidget* parent)
      : platform_(platform), parent_(parent) {}
  bool LaunchProgram(const std::string& commandLine) override {
    return platform_.LaunchProgram(commandLine);
  }
  void Beep() override;
  bool AskYesNo(const std::string& title, const std::string& text) override;
  void DebugOutput(const std::string& text) override { platform_.DebugOutput(text); }

 private:
  SystemServices& platform_;
  QWidget* parent_;
};

}  // namespace lumox::qt
