// The "Display" page on Linux: which monitors the full-screen saver covers
// (the primary only, each one, or all spanned by one window), over the
// stored monitor choice. The desktop keeps its own video mode, so the
// Windows page's modes have no place here. A choice is stored at once, as
// the Windows page stores its mode, and applies from the next full-screen
// run.
#pragma once

#include <QWidget>

#include "config/monitor_choice.h"

class QButtonGroup;

namespace lumox::qt {

class DisplayPageWidget final : public QWidget {
  Q_OBJECT

 public:
  explicit DisplayPageWidget(QWidget* parent = nullptr);
  // The buttons as the store has them now (another program may have
  // changed it).
  void Refresh();

 private:
  void Choose(MonitorChoice choice);

  QButtonGroup* choices_ = nullptr;
};

}  // namespace lumox::qt
