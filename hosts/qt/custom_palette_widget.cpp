#include "custom_palette_widget.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace lumox::qt {
namespace {

constexpr const char* kChannelLabels[] = {"R", "G", "B"};
constexpr const char* kMaskNames[] = {"Red", "Green", "Blue"};

}  // namespace

PaletteGrid::PaletteGrid(CustomPaletteEditor& editor, QWidget* parent)
    : QWidget(parent), editor_(editor) {
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(200, 150);
  setAccessibleName(tr("Custom palette colours"));
  setAccessibleDescription(tr("Arrow keys select a colour; Shift with the arrows selects a range"));
}

int PaletteGrid::EntryAt(const QPoint& point) const {
  return GridHitTest(point.x(), point.y(), width(), height());
}

void PaletteGrid::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  const EntryRange selection = editor_.Selection();
  for (int entry = 0; entry < kPaletteEntries; ++entry) {
    const GridRect cell = GridCell(entry, width(), height());
    const QRect frame(cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top);
    const bool selected = entry >= selection.first && entry <= selection.last;
    painter.fillRect(frame, selected ? Qt::white : Qt::black);
    const gfx::Rgb color = editor_.Colors()[entry].Color();
    painter.fillRect(frame.adjusted(1, 1, -1, -1), QColor(color.red, color.green, color.blue));
  }
  if (hasFocus()) {
    const GridRect cell = GridCell(keyCursor_, width(), height());
    painter.setPen(QPen(palette().highlight(), 2, Qt::DotLine));
    painter.drawRect(cell.left, cell.top, cell.right - cell.left - 1, cell.bottom - cell.top - 1);
  }
}

void PaletteGrid::mousePressEvent(QMouseEvent* event) {
  keyAnchor_ = keyCursor_ = EntryAt(event->position().toPoint());
  editor_.Press(keyAnchor_);
  update();
}

void PaletteGrid::mouseMoveEvent(QMouseEvent* event) {
  if (!editor_.Dragging() || !rect().contains(event->position().toPoint())) return;
  keyCursor_ = EntryAt(event->position().toPoint());
  editor_.Move(keyCursor_);
  update();
}

void PaletteGrid::mouseReleaseEvent(QMouseEvent*) {
  editor_.Release();
  emit SelectionMade();
}

void PaletteGrid::keyPressEvent(QKeyEvent* event) {
  int step = 0;
  switch (event->key()) {
    case Qt::Key_Left: step = -1; break;
    case Qt::Key_Right: step = 1; break;
    case Qt::Key_Up: step = -16; break;
    case Qt::Key_Down: step = 16; break;
    default: QWidget::keyPressEvent(event); return;
  }
  keyCursor_ = std::clamp(keyCursor_ + step, 0, kPaletteEntries - 1);
  // The keys make the same selections the mouse does.
  if (event->modifiers().testFlag(Qt::ShiftModifier)) {
    editor_.Press(keyAnchor_);
    editor_.Move(keyCursor_);
  } else {
    keyAnchor_ = keyCursor_;
    editor_.Press(keyCursor_);
  }
  editor_.Release();
  emit SelectionMade();
}

CustomPaletteWidget::CustomPaletteWidget(CustomPaletteEditor& editor, ConfigSession& session,
                                         QWidget* parent)
    : QWidget(parent), editor_(editor) {
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(
      tr("Use the controls here to construct a palette that will be used when the \"Color "
         "Effect\" in the \"Palette\" configuration panel is set to \"Custom.\"."),
      this);
  intro->setWordWrap(true);
  layout->addWidget(intro);

  auto* body = new QHBoxLayout;
  auto* gridBox = new QGroupBox(tr("Palette"), this);
  auto* gridLayout = new QVBoxLayout(gridBox);
  grid_ = new PaletteGrid(editor_, gridBox);
  gridLayout->addWidget(grid_);
  body->addWidget(gridBox, 1);

  auto* side = new QVBoxLayout;
  auto* sliders = new QGridLayout;
  for (int channel = 0; channel < kChannels; ++channel) {
    auto* label = new QLabel(tr(kChannelLabels[channel]), this);
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setRange(0, 255);
    slider->setTickInterval(11);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setAccessibleName(tr(kMaskNames[channel]) + tr(" level"));
    label->setBuddy(slider);
    sliders->addWidget(label, channel, 0);
    sliders->addWidget(slider, channel, 1);
    sliders_[channel] = slider;
    connect(slider, &QSlider::valueChanged, this, &CustomPaletteWidget::SlidersMoved);
    connect(slider, &QSlider::sliderReleased, this, [this] { editor_.EndTrackbarDrag(); });
  }
  side->addLayout(sliders);

  auto* operations = new QGridLayout;
  const struct {
    const char* text;
    void (CustomPaletteEditor::*action)();
  } kOperations[] = {{"R&andom", &CustomPaletteEditor::Randomize},
                     {"&Negative", &CustomPaletteEditor::Negative},
                     {"&Reverse", &CustomPaletteEditor::Reverse},
                     {"&Copy To", &CustomPaletteEditor::CopyTo},
                     {"&Merge To", &CustomPaletteEditor::MergeTo},
                     {"&Gradient", &CustomPaletteEditor::Gradient},
                     {"&Smooth", &CustomPaletteEditor::Smooth},
                     {"R&ough", &CustomPaletteEditor::Rough},
                     {"S&hift", &CustomPaletteEditor::Shift},
                     {"&Undo", &CustomPaletteEditor::Undo}};
  int position = 0;
  for (const auto& operation : kOperations) {
    auto* button = new QPushButton(tr(operation.text), this);
    operations->addWidget(button, position / 2, position % 2);
    ++position;
    const auto action = operation.action;
    connect(button, &QPushButton::clicked, this, [this, action] { Operation(action); });
    if (action == &CustomPaletteEditor::Reverse) reverse_ = button;
    if (action == &CustomPaletteEditor::Gradient) gradient_ = button;
  }
  auto* importButton = new QPushButton(tr("&Import..."), this);
  auto* exportButton = new QPushButton(tr("&Export..."), this);
  operations->addWidget(importButton, position / 2, position % 2);
  ++position;
  operations->addWidget(exportButton, position / 2, position % 2);
  connect(importButton, &QPushButton::clicked, this, [this, &session] {
    if (editor_.Import(session)) emit Edited();
    Refresh();
  });
  connect(exportButton, &QPushButton::clicked, this, [this, &session] { editor_.Export(session); });
  side->addLayout(operations);

  auto* maskRow = new QHBoxLayout;
  maskRow->addWidget(new QLabel(tr("Mask:"), this));
  for (int channel = 0; channel < kChannels; ++channel) {
    auto* box = new QCheckBox(tr(kMaskNames[channel]), this);
    box->setAccessibleName(tr("Mask ") + tr(kMaskNames[channel]));
    masks_[channel] = box;
    maskRow->addWidget(box);
    connect(box, &QCheckBox::toggled, this, [this, channel](bool masked) {
      editor_.SetMasked(channel, masked);
      Refresh();
    });
  }
  side->addLayout(maskRow);
  auto* test = new QPushButton(tr("Test Palette Settings"), this);
  connect(test, &QPushButton::clicked, this, [&session] { session.TestRun(); });
  side->addWidget(test);
  side->addStretch(1);
  body->addLayout(side);
  layout->addLayout(body, 1);

  connect(grid_, &PaletteGrid::SelectionMade, this, [this] {
    Refresh();
    emit Edited();
  });
  Refresh();
}

void CustomPaletteWidget::Operation(void (CustomPaletteEditor::*action)()) {
  (editor_.*action)();
  Refresh();
  emit Edited();
}

void CustomPaletteWidget::SlidersMoved() {
  editor_.MoveTrackbars({sliders_[kRed]->value(), sliders_[kGreen]->value(),
                         sliders_[kBlue]->value()});
  // A key press is a whole drag of its own.
  const bool dragging = sliders_[kRed]->isSliderDown() || sliders_[kGreen]->isSliderDown() ||
                        sliders_[kBlue]->isSliderDown();
  if (!dragging) editor_.EndTrackbarDrag();
  grid_->update();
  emit Edited();
}

void CustomPaletteWidget::Refresh() {
  const CustomPaletteEditor::Levels positions = editor_.TrackbarPositions();
  for (int channel = 0; channel < kChannels; ++channel) {
    QSignalBlocker block(sliders_[channel]);
    sliders_[channel]->setValue(positions[channel]);
    sliders_[channel]->setEnabled(editor_.TrackbarEnabled(channel));
    QSignalBlocker blockMask(masks_[channel]);
    masks_[channel]->setChecked(editor_.Masked(channel));
  }
  reverse_->setEnabled(editor_.CanReverseOrBlend());
  gradient_->setEnabled(editor_.CanReverseOrBlend());
  grid_->update();
}

void CustomPaletteWidget::showEvent(QShowEvent* event) {
  // Another saved display may have been loaded since: its colours show.
  Refresh();
  QWidget::showEvent(event);
}

}  // namespace lumox::qt
