#include "stderr_messages.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace lumox::qt {
namespace {

constexpr char kPrefix[] = "lumox: ";

}  // namespace

StderrMessages::StderrMessages(QObject* parent) : QObject(parent) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return;
  std::fflush(stderr);
  original_ = dup(STDERR_FILENO);
  fcntl(ends[1], F_SETFL, O_NONBLOCK);
  if (original_ < 0 || dup2(ends[1], STDERR_FILENO) < 0) {
    close(ends[0]);
    close(ends[1]);
    if (original_ >= 0) close(original_);
    original_ = -1;
    return;
  }
  close(ends[1]);
  readEnd_ = ends[0];
  fcntl(readEnd_, F_SETFL, O_NONBLOCK);
  notifier_ = std::make_unique<QSocketNotifier>(readEnd_, QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &StderrMessages::ReadPipe);
}

StderrMessages::~StderrMessages() {
  if (original_ < 0) return;
  std::fflush(stderr);
  ReadPipe();
  dup2(original_, STDERR_FILENO);
  close(original_);
  notifier_.reset();
  close(readEnd_);
}

void StderrMessages::ReadPipe() {
  char buffer[4096];
  ssize_t count;
  while ((count = read(readEnd_, buffer, sizeof buffer)) > 0) {
    [[maybe_unused]] ssize_t copied = write(original_, buffer, static_cast<size_t>(count));
    pending_.append(buffer, count);
  }
  qsizetype end;
  while ((end = pending_.indexOf('\n')) >= 0) {
    const QByteArray line = pending_.left(end);
    pending_.remove(0, end + 1);
    if (line.startsWith(kPrefix)) emit Report(QString::fromLocal8Bit(line.mid(sizeof kPrefix - 1)));
  }
}

}  // namespace lumox::qt
