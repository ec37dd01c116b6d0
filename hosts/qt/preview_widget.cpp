#include "preview_widget.h"

#include <QPainter>
#include <cstring>

namespace lumox::qt {

PreviewWidget::PreviewWidget(const SaverState& edited, QWidget* parent)
    : QWidget(parent), run_(edited, kWidth, kHeight), image_(kWidth, kHeight, QImage::Format_Indexed8) {
  setMinimumSize(kWidth / 2, kHeight / 2);
  QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  policy.setHeightForWidth(true);
  setSizePolicy(policy);
  setAccessibleName(tr("Preview of the edited settings"));
  // An indexed image must carry its 256 colours before it is drawn.
  image_.setColorTable(QList<QRgb>(256, qRgb(0, 0, 0)));
  image_.fill(0);
  frameTimer_.setInterval(16);  // one 60 Hz refresh of the run's clock per tick
  connect(&frameTimer_, &QTimer::timeout, this, &PreviewWidget::Frame);
  restartTimer_.setSingleShot(true);
  restartTimer_.setInterval(250);
  connect(&restartTimer_, &QTimer::timeout, this, &PreviewWidget::Restart);
}

void PreviewWidget::SettingsChanged() {
  stale_ = true;
  if (isVisible()) restartTimer_.start();
}

void PreviewWidget::Restart() {
  stale_ = false;
  run_.Restart();
  if (isVisible()) frameTimer_.start();
}

void PreviewWidget::Frame() {
  run_.Frame();
  const std::vector<uint8_t> indices = run_.Indices();
  for (int y = 0; y < kHeight; ++y) {
    std::memcpy(image_.scanLine(y), indices.data() + static_cast<size_t>(y) * kWidth, kWidth);
  }
  const std::array<uint32_t, 256> colors = run_.Colors();
  QList<QRgb> table(256);
  for (int i = 0; i < 256; ++i) table[i] = qRgb((colors[i] >> 16) & 0xFF, (colors[i] >> 8) & 0xFF, colors[i] & 0xFF);
  image_.setColorTable(table);
  update();
}

void PreviewWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  const QSize shown = image_.size().scaled(size(), Qt::KeepAspectRatio);
  const QRect target(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
  painter.drawImage(target, image_);
}

void PreviewWidget::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!run_.running() || stale_) {
    Restart();
  } else {
    frameTimer_.start();
  }
}

void PreviewWidget::hideEvent(QHideEvent* event) {
  frameTimer_.stop();
  QWidget::hideEvent(event);
}

}  // namespace lumox::qt
