// The "Custom" page: the custom palette editor over the
// CustomPaletteEditor model. The grid shows the 236 colours in the model's
// cell geometry; the mouse (press, drag, release) or the arrow keys (Shift
// extends) select a range; the buttons, sliders and mask boxes call the
// model and show what it says afterwards.
#pragma once

#include <QWidget>
#include <array>

#include "config/config_session.h"
#include "config/custom_palette.h"

class QCheckBox;
class QPushButton;
class QSlider;

namespace lumox::qt {

// The colour grid. It reports entries; the editor decides the selection.
class PaletteGrid final : public QWidget {
  Q_OBJECT

 public:
  PaletteGrid(CustomPaletteEditor& editor, QWidget* parent = nullptr);
  QSize sizeHint() const override { return {400, 300}; }

 signals:
  void SelectionMade();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  int EntryAt(const QPoint& point) const;

  CustomPaletteEditor& editor_;
  int keyAnchor_ = 0;
  int keyCursor_ = 0;
};

class CustomPaletteWidget final : public QWidget {
  Q_OBJECT

 public:
  CustomPaletteWidget(CustomPaletteEditor& editor, ConfigSession& session,
                      QWidget* parent = nullptr);
  void Refresh();

 signals:
  void Edited();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Operation(void (CustomPaletteEditor::*action)());
  void SlidersMoved();

  CustomPaletteEditor& editor_;
  PaletteGrid* grid_ = nullptr;
  std::array<QSlider*, kChannels> sliders_{};
  std::array<QCheckBox*, kChannels> masks_{};
  QPushButton* reverse_ = nullptr;
  QPushButton* gradient_ = nullptr;
};

}  // namespace lumox::qt
