#include "module_page_widget.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/picture_import.h"

namespace lumox::qt {
namespace {

// The grid's columns: label, value or range, value box or sense, source.
enum Column { kLabel, kLowSlider, kLowBox, kHighSlider, kHighBox, kSense, kSource };

QString Text(const std::string& text) { return QString::fromStdString(text); }

std::vector<std::string> PictureExtensions() {
  std::vector<std::string> extensions;
  for (const ImportFilter& filter : CurrentPictureImporter().Filters())
    extensions.push_back(filter.extension);
  return extensions;
}

}  // namespace

ModulePageWidget::ModulePageWidget(ModulePage& model, QWidget* parent)
    : QWidget(parent), model_(model) {
  auto* layout = new QVBoxLayout(this);
  group_ = new QGroupBox(this);
  auto* grid = new QGridLayout(group_);
  grid->setColumnStretch(kLowSlider, 1);
  grid->setColumnStretch(kHighSlider, 1);
  layout->addWidget(group_);

  if (model_.HasFileText()) {
    auto* fileRow = new QHBoxLayout;
    auto* fileLabel = new QLabel(tr("Filename (or mask):"), this);
    fileText_ = new QLineEdit(this);
    fileText_->setAccessibleName(tr("Filename or mask"));
    fileLabel->setBuddy(fileText_);
    auto* browse = new QPushButton(tr("Browse"), this);
    fileRow->addWidget(fileLabel);
    fileRow->addWidget(fileText_, 1);
    fileRow->addWidget(browse);
    layout->insertLayout(0, fileRow);
    auto* formats = new QLabel(
        tr("File formats supported on this system include: ") +
            Text(PictureFormatsText(PictureExtensions())),
        this);
    formats->setWordWrap(true);
    layout->insertWidget(1, formats);
    connect(fileText_, &QLineEdit::editingFinished, this, [this] {
      if (model_.SetFileText(fileText_->text().toStdString())) Changed();
      fileText_->setText(Text(model_.FileText()));
    });
    connect(browse, &QPushButton::clicked, this, [this] {
      if (model_.Browse(PictureExtensions())) Changed();
      fileText_->setText(Text(model_.FileText()));
    });
  }

  int gridRow = 0;
  for (int control : model_.Rows()) BuildRow(grid, gridRow++ % kRowsPerPage, control);

  auto* pageRow = new QHBoxLayout;
  previousPage_ = new QPushButton(tr("Previous page"), this);
  nextPage_ = new QPushButton(tr("Next page"), this);
  pageText_ = new QLabel(this);
  pageRow->addStretch(1);
  pageRow->addWidget(previousPage_);
  pageRow->addWidget(pageText_);
  pageRow->addWidget(nextPage_);
  layout->addLayout(pageRow);
  // The model's arrows go up (+1) to the page before.
  connect(previousPage_, &QPushButton::clicked, this, [this] {
    if (model_.ChangePage(1)) Refresh();
  });
  connect(nextPage_, &QPushButton::clicked, this, [this] {
    if (model_.ChangePage(-1)) Refresh();
  });

  auto* buttons = new QHBoxLayout;
  testModule_ = new QPushButton(this);
  auto* testAll = new QPushButton(tr("Test All Settings"), this);
  reset_ = new QPushButton(this);
  buttons->addWidget(testModule_);
  buttons->addWidget(testAll);
  buttons->addStretch(1);
  buttons->addWidget(reset_);
  layout->addLayout(buttons);
  layout->addStretch(1);
  connect(testModule_, &QPushButton::clicked, this, [this] { model_.TestModule(); });
  connect(testAll, &QPushButton::clicked, this, [this] { model_.TestAll(); });
  connect(reset_, &QPushButton::clicked, this, [this] {
    model_.Reset();
    Refresh();
    Changed();
  });
  Refresh();
}

void ModulePageWidget::BuildRow(QGridLayout* grid, int gridRow, int control) {
  Row row;
  row.control = control;
  const QString label = Text(model_.Label(control));
  row.label = new QLabel(label, this);
  row.label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  row.value = MakeNumberEditor(row, RowNumber::Value, label);
  row.low = MakeNumberEditor(row, RowNumber::RangeLo, label + tr(" range low"));
  row.high = MakeNumberEditor(row, RowNumber::RangeHi, label + tr(" range high"));
  row.sense = new QSpinBox(this);
  row.sense->setRange(kSenseMinimum, kSenseMaximum);
  row.sense->setAccessibleName(label + tr(" sense"));
  row.sense->setToolTip(tr("Sense: oscillation speed, or how strongly sound moves the value"));
  row.source = new QComboBox(this);
  row.source->setAccessibleName(label + tr(" source"));
  for (const char* item : model_.SourceList(control)) row.source->addItem(item);
  row.label->setBuddy(row.source);

  grid->addWidget(row.label, gridRow, kLabel);
  grid->addWidget(row.value.slider, gridRow, kLowSlider, 1, kSense - kLowSlider);
  grid->addWidget(row.value.box, gridRow, kSense);
  grid->addWidget(row.low.slider, gridRow, kLowSlider);
  grid->addWidget(row.low.box, gridRow, kLowBox);
  grid->addWidget(row.high.slider, gridRow, kHighSlider);
  grid->addWidget(row.high.box, gridRow, kHighBox);
  grid->addWidget(row.sense, gridRow, kSense);
  grid->addWidget(row.source, gridRow, kSource);

  connect(row.sense, &QSpinBox::valueChanged, this, [this, control](int value) {
    const int32_t sense = model_.ChangeSense(control, value - model_.Sense(control));
    for (Row& r : rows_) {
      if (r.control != control) continue;
      QSignalBlocker block(r.sense);
      r.sense->setValue(sense);
    }
    Changed();
  });
  connect(row.source, &QComboBox::activated, this, [this, control](int position) {
    if (model_.ChooseSource(control, position)) Changed();
    Refresh();
  });
  rows_.push_back(row);
}

ModulePageWidget::NumberEditor ModulePageWidget::MakeNumberEditor(const Row& row,
                                                                 RowNumber which,
                                                                 const QString& name) {
  const int control = row.control;
  NumberEditor editor;
  editor.slider = new QSlider(Qt::Horizontal, this);
  editor.slider->setTickPosition(QSlider::TicksBelow);
  editor.slider->setAccessibleName(name);
  editor.box = new QLineEdit(this);
  editor.box->setAccessibleName(name + tr(" number"));
  editor.box->setMaximumWidth(editor.box->fontMetrics().horizontalAdvance("-00000") + 12);
  connect(editor.slider, &QSlider::valueChanged, this, [this, control, which](int position) {
    model_.MoveTrackbar(control, which, position);
    for (Row& r : rows_) {
      if (r.control == control) ShowNumber(r, which);
    }
    Changed();
  });
  connect(editor.box, &QLineEdit::editingFinished, this, [this, control, which] {
    for (Row& r : rows_) {
      if (r.control != control) continue;
      TypedNumber typed = model_.TypeNumber(control, which, Editor(r, which).box->text().toStdString());
      ShowNumber(r, which);
      if (typed.changed) Changed();
    }
  });
  return editor;
}

ModulePageWidget::NumberEditor& ModulePageWidget::Editor(Row& row, RowNumber which) {
  switch (which) {
    case RowNumber::RangeLo:
      return row.low;
    case RowNumber::RangeHi:
      return row.high;
    case RowNumber::Value:
      break;
  }
  return row.value;
}

void ModulePageWidget::ShowNumber(Row& row, RowNumber which) {
  NumberEditor& editor = Editor(row, which);
  const TrackbarSetup setup = model_.Trackbar(row.control, which);
  QSignalBlocker block(editor.slider);
  editor.slider->setRange(setup.minimum, setup.maximum);
  editor.slider->setTickInterval(setup.tickFrequency);
  editor.slider->setPageStep(setup.tickFrequency);
  editor.slider->setValue(setup.position);
  editor.box->setText(QString::number(model_.Number(row.control, which)));
}

void ModulePageWidget::RefreshRow(Row& row) {
  const RowVisibility shown = model_.Visibility(row.control);
  row.label->setVisible(shown.labelAndSource);
  row.source->setVisible(shown.labelAndSource);
  row.value.slider->setVisible(shown.value);
  row.value.box->setVisible(shown.value);
  for (QWidget* widget : {static_cast<QWidget*>(row.low.slider), static_cast<QWidget*>(row.low.box),
                          static_cast<QWidget*>(row.high.slider), static_cast<QWidget*>(row.high.box),
                          static_cast<QWidget*>(row.sense)}) {
    widget->setVisible(shown.range);
  }
  for (RowNumber which : {RowNumber::Value, RowNumber::RangeLo, RowNumber::RangeHi})
    ShowNumber(row, which);
  QSignalBlocker blockSense(row.sense);
  row.sense->setValue(model_.Sense(row.control));
  QSignalBlocker blockSource(row.source);
  row.source->setCurrentIndex(model_.Source(row.control));
}

void ModulePageWidget::Refresh() {
  group_->setTitle(Text(model_.GroupText()).trimmed());
  testModule_->setText(Text(model_.TestButtonText()));
  reset_->setText(Text(model_.ResetButtonText()));
  for (Row& row : rows_) RefreshRow(row);
  const bool twoPages = model_.HasSecondPage();
  pageText_->setVisible(twoPages);
  previousPage_->setVisible(twoPages);
  nextPage_->setVisible(twoPages);
  pageText_->setText(Text(model_.PageText()));
  previousPage_->setEnabled(model_.shownPage() > 0);
  nextPage_->setEnabled(model_.shownPage() == 0);
  if (fileText_) fileText_->setText(Text(model_.FileText()));
}

void ModulePageWidget::showEvent(QShowEvent* event) {
  // Activation: the texts and rows as the model has them now (a saved
  // display may have been loaded on another page).
  Refresh();
  QWidget::showEvent(event);
}

void ModulePageWidget::Changed() { emit Edited(); }

}  // namespace lumox::qt
