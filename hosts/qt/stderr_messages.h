// The saver's subsystems report trouble the way a command-line program
// does: a line "lumox: ..." on standard error (a damaged settings file kept
// aside, a settings file that cannot be written). A window has no terminal,
// so this passes standard error through a pipe, copies everything on to
// where it went before, and hands each such line to the window.
//
// The pipe's writing end does not block: should the window fall far
// behind, lines are lost rather than the program stalled.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace lumox::qt {

class StderrMessages final : public QObject {
  Q_OBJECT

 public:
  explicit StderrMessages(QObject* parent = nullptr);
  ~StderrMessages() override;
  bool active() const { return notifier_ != nullptr; }

 signals:
  // One report, without the "lumox: " prefix.
  void Report(const QString& text);

 private:
  void ReadPipe();

  int readEnd_ = -1;
  int original_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
  QByteArray pending_;
};

}  // namespace lumox::qt
