// The live preview: the saver's render loop at preview size, shown as an
// 8-bit indexed image whose colour table is the saver's palette. It runs
// only while the widget is visible, and starts anew from the edited
// settings shortly after they change.
#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>

#include "preview_run.h"

namespace lumox::qt {

class PreviewWidget final : public QWidget {
  Q_OBJECT

 public:
  PreviewWidget(const SaverState& edited, QWidget* parent = nullptr);

  // The edited settings changed: the preview restarts on them soon.
  void SettingsChanged();
  bool running() const { return frameTimer_.isActive(); }
  // The frame shown last, as the indexed image.
  const QImage& image() const { return image_; }

  QSize sizeHint() const override { return {kWidth, kHeight}; }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override { return width * kHeight / kWidth; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  static constexpr int kWidth = 320;
  static constexpr int kHeight = 240;

  void Frame();
  void Restart();

  PreviewRun run_;
  QImage image_;
  QTimer frameTimer_;
  QTimer restartTimer_;
  bool stale_ = false;  // the settings changed since the run started
};

}  // namespace lumox::qt
