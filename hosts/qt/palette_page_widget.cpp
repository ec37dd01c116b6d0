#include "palette_page_widget.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "control/controls.h"

namespace lumox::qt {
namespace {

// The effect buttons in their order on the page, which is the effects' own.
constexpr const char* kEffectNames[] = {"Ramp", "Fade", "Smooth", "Coarse", "Blackout", "Random",
                                        "Custom"};
constexpr const char* kChannelNames[] = {"&Red", "&Green", "&Blue"};

}  // namespace

PalettePageWidget::PalettePageWidget(PalettePage& model, ConfigSession& session, QWidget* parent)
    : QWidget(parent), model_(model) {
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(
      tr("Use the controls here to configure the color effect options.  These settings will be "
         "applied to all of the modules you've selected in the \"Main Settings\" panel."),
      this);
  intro->setWordWrap(true);
  layout->addWidget(intro);

  auto* top = new QHBoxLayout;
  channels_ = new QButtonGroup(this);
  for (int channel = 0; channel < kChannels; ++channel) {
    auto* button = new QPushButton(tr(kChannelNames[channel]), this);
    button->setCheckable(true);
    channels_->addButton(button, channel);
    top->addWidget(button);
  }
  top->addWidget(new QLabel(tr("Hold the CTRL key down to change red, green, and blue."), this), 1);
  layout->addLayout(top);
  connect(channels_, &QButtonGroup::idClicked, this, [this](int channel) {
    model_.SelectChannel(channel);
    Refresh();
  });

  auto* body = new QHBoxLayout;
  auto* rowsBox = new QGroupBox(this);
  auto* grid = new QGridLayout(rowsBox);
  for (int parameter = 0; parameter < kPaletteParameters; ++parameter) {
    const PaletteRowView view = model_.Row(parameter);
    rows_[parameter] = ControlRowWidgets::Create(rowsBox, grid, parameter,
                                                 tr(kPaletteRowLabels[parameter]),
                                                 FillSourceList(view.sourceCount > 2));
    ControlRowWidgets& row = rows_[parameter];
    for (NumberEditor* editor : {&row.value, &row.low, &row.high}) {
      connect(editor->slider, &QSlider::valueChanged, this,
              [this, parameter] { TrackbarsMoved(parameter); });
    }
    const std::pair<NumberEditor*, PaletteField> boxes[] = {
        {&row.value, PaletteField::Value},
        {&row.low, PaletteField::RangeLo},
        {&row.high, PaletteField::RangeHi}};
    for (const auto& [editor, field] : boxes) {
      QLineEdit* box = editor->box;
      connect(box, &QLineEdit::editingFinished, this, [this, parameter, field, box] {
        model_.EnterNumber(parameter, field, box->text().toStdString());
        RefreshRow(parameter);
        emit Edited();
      });
    }
    connect(row.sense, &QSpinBox::valueChanged, this, [this, parameter](int sense) {
      model_.StepSense(parameter, sense - model_.Row(parameter).sense, AllChannels());
      RefreshRow(parameter);
      emit Edited();
    });
    connect(row.source, &QComboBox::activated, this, [this, parameter](int source) {
      model_.ChooseSource(parameter, source, AllChannels());
      RefreshRow(parameter);
      emit Edited();
    });
  }
  body->addWidget(rowsBox, 1);

  auto* effectBox = new QGroupBox(tr("Color Effect"), this);
  auto* effectLayout = new QVBoxLayout(effectBox);
  effects_ = new QButtonGroup(this);
  for (int effect = 0; effect < static_cast<int>(std::size(kEffectNames)); ++effect) {
    auto* button = new QRadioButton(tr(kEffectNames[effect]), effectBox);
    effects_->addButton(button, effect);
    effectLayout->addWidget(button);
  }
  effectLayout->addStretch(1);
  body->addWidget(effectBox);
  layout->addLayout(body);
  connect(effects_, &QButtonGroup::idClicked, this, [this](int effect) {
    model_.ChooseEffect(effect, AllChannels());
    Refresh();
    emit Edited();
  });

  auto* test = new QPushButton(tr("Test Palette Settings"), this);
  connect(test, &QPushButton::clicked, this, [&session] { session.TestRun(); });
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(test);
  buttons->addStretch(1);
  layout->addLayout(buttons);
  layout->addStretch(1);
  Refresh();
}

bool PalettePageWidget::AllChannels() {
  return QApplication::keyboardModifiers().testFlag(Qt::ControlModifier);
}

void PalettePageWidget::TrackbarsMoved(int parameter) {
  const ControlRowWidgets& row = rows_[parameter];
  model_.MoveTrackbars(parameter, row.value.slider->value(), row.low.slider->value(),
                       row.high.slider->value(), AllChannels());
  RefreshRow(parameter);
  emit Edited();
}

void PalettePageWidget::RefreshRow(int parameter) {
  const PaletteRowView view = model_.Row(parameter);
  ControlRowWidgets& row = rows_[parameter];
  row.ShowElements(true, view.showValue, !view.showValue);
  row.value.Show(view.minimum, view.maximum, view.tickFrequency, view.value, view.value);
  row.low.Show(view.minimum, view.maximum, view.tickFrequency, view.rangeLo, view.rangeLo);
  row.high.Show(view.minimum, view.maximum, view.tickFrequency, view.rangeHi, view.rangeHi);
  row.ShowSense(view.sense);
  row.ShowSource(view.source);
}

void PalettePageWidget::Refresh() {
  channels_->button(model_.SelectedChannel())->setChecked(true);
  if (QAbstractButton* effect = effects_->button(model_.Effect())) effect->setChecked(true);
  // The boxes' text takes the shown channel's colour.
  const gfx::Rgb color = model_.TextColor();
  QPalette palette = this->palette();
  palette.setColor(QPalette::Text, QColor(color.red, color.green, color.blue));
  for (int parameter = 0; parameter < kPaletteParameters; ++parameter) {
    for (QWidget* widget : {static_cast<QWidget*>(rows_[parameter].value.box),
                            static_cast<QWidget*>(rows_[parameter].low.box),
                            static_cast<QWidget*>(rows_[parameter].high.box),
                            static_cast<QWidget*>(rows_[parameter].sense)}) {
      widget->setPalette(palette);
    }
    RefreshRow(parameter);
  }
}

void PalettePageWidget::showEvent(QShowEvent* event) {
  Refresh();
  QWidget::showEvent(event);
}

}  // namespace lumox::qt
