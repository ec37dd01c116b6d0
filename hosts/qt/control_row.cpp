#include "control_row.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

#include "config/module_page.h"

namespace lumox::qt {
namespace {

// The grid's columns: label, value or range, value box or sense, source.
enum Column { kLabel, kLowSlider, kLowBox, kHighSlider, kHighBox, kSense, kSource };

NumberEditor MakeEditor(QWidget* parent, const QString& name) {
  NumberEditor editor;
  editor.slider = new QSlider(Qt::Horizontal, parent);
  editor.slider->setTickPosition(QSlider::TicksBelow);
  editor.slider->setAccessibleName(name);
  editor.box = new QLineEdit(parent);
  editor.box->setAccessibleName(name + QObject::tr(" number"));
  editor.box->setMaximumWidth(editor.box->fontMetrics().horizontalAdvance("-00000") + 12);
  return editor;
}

}  // namespace

void NumberEditor::Show(int minimum, int maximum, int tickFrequency, int position, int number) {
  QSignalBlocker block(slider);
  slider->setRange(minimum, maximum);
  slider->setTickInterval(tickFrequency);
  slider->setPageStep(tickFrequency);
  slider->setValue(position);
  box->setText(QString::number(number));
}

ControlRowWidgets ControlRowWidgets::Create(QWidget* parent, QGridLayout* grid, int gridRow,
                                            const QString& label,
                                            const std::vector<const char*>& sources) {
  ControlRowWidgets row;
  row.label = new QLabel(label, parent);
  row.label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  row.value = MakeEditor(parent, label);
  row.low = MakeEditor(parent, label + QObject::tr(" range low"));
  row.high = MakeEditor(parent, label + QObject::tr(" range high"));
  row.sense = new QSpinBox(parent);
  row.sense->setRange(kSenseMinimum, kSenseMaximum);
  row.sense->setAccessibleName(label + QObject::tr(" sense"));
  row.sense->setToolTip(
      QObject::tr("Sense: oscillation speed, or how strongly sound moves the value"));
  row.source = new QComboBox(parent);
  row.source->setAccessibleName(label + QObject::tr(" source"));
  for (const char* item : sources) row.source->addItem(item);
  row.label->setBuddy(row.source);

  grid->setColumnStretch(kLowSlider, 1);
  grid->setColumnStretch(kHighSlider, 1);
  grid->addWidget(row.label, gridRow, kLabel);
  grid->addWidget(row.value.slider, gridRow, kLowSlider, 1, kSense - kLowSlider);
  grid->addWidget(row.value.box, gridRow, kSense);
  grid->addWidget(row.low.slider, gridRow, kLowSlider);
  grid->addWidget(row.low.box, gridRow, kLowBox);
  grid->addWidget(row.high.slider, gridRow, kHighSlider);
  grid->addWidget(row.high.box, gridRow, kHighBox);
  grid->addWidget(row.sense, gridRow, kSense);
  grid->addWidget(row.source, gridRow, kSource);
  return row;
}

void ControlRowWidgets::ShowElements(bool labelAndSource, bool showValue, bool showRange) {
  label->setVisible(labelAndSource);
  source->setVisible(labelAndSource);
  value.slider->setVisible(showValue);
  value.box->setVisible(showValue);
  for (QWidget* widget : {static_cast<QWidget*>(low.slider), static_cast<QWidget*>(low.box),
                          static_cast<QWidget*>(high.slider), static_cast<QWidget*>(high.box),
                          static_cast<QWidget*>(sense)}) {
    widget->setVisible(showRange);
  }
}

void ControlRowWidgets::ShowSense(int number) {
  QSignalBlocker block(sense);
  sense->setValue(number);
}

void ControlRowWidgets::ShowSource(int position) {
  QSignalBlocker block(source);
  source->setCurrentIndex(position);
}

}  // namespace lumox::qt
