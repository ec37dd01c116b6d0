#include "module_page_widget.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/picture_import.h"

namespace lumox::qt {
namespace {

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
      if (model_.SetFileText(fileText_->text().toStdString())) emit Edited();
      fileText_->setText(Text(model_.FileText()));
    });
    connect(browse, &QPushButton::clicked, this, [this] {
      if (model_.Browse(PictureExtensions())) emit Edited();
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
    emit Edited();
  });
  Refresh();
}

void ModulePageWidget::BuildRow(QGridLayout* grid, int gridRow, int control) {
  rows_.push_back({control, ControlRowWidgets::Create(this, grid, gridRow, Text(model_.Label(control)),
                                                      model_.SourceList(control))});
  ControlRowWidgets& widgets = rows_.back().widgets;
  BindNumber(control, RowNumber::Value, widgets.value);
  BindNumber(control, RowNumber::RangeLo, widgets.low);
  BindNumber(control, RowNumber::RangeHi, widgets.high);
  connect(widgets.sense, &QSpinBox::valueChanged, this, [this, control](int sense) {
    FindRow(control)->widgets.ShowSense(model_.ChangeSense(control, sense - model_.Sense(control)));
    emit Edited();
  });
  connect(widgets.source, &QComboBox::activated, this, [this, control](int position) {
    if (model_.ChooseSource(control, position)) emit Edited();
    Refresh();
  });
}

void ModulePageWidget::BindNumber(int control, RowNumber which, NumberEditor& editor) {
  connect(editor.slider, &QSlider::valueChanged, this, [this, control, which](int position) {
    model_.MoveTrackbar(control, which, position);
    ShowNumber(*FindRow(control), which);
    emit Edited();
  });
  QLineEdit* box = editor.box;
  connect(box, &QLineEdit::editingFinished, this, [this, control, which, box] {
    const TypedNumber typed = model_.TypeNumber(control, which, box->text().toStdString());
    ShowNumber(*FindRow(control), which);
    if (typed.changed) emit Edited();
  });
}

ModulePageWidget::Row* ModulePageWidget::FindRow(int control) {
  for (Row& row : rows_) {
    if (row.control == control) return &row;
  }
  return nullptr;
}

void ModulePageWidget::ShowNumber(Row& row, RowNumber which) {
  NumberEditor& editor = which == RowNumber::RangeLo   ? row.widgets.low
                         : which == RowNumber::RangeHi ? row.widgets.high
                                                       : row.widgets.value;
  const TrackbarSetup setup = model_.Trackbar(row.control, which);
  editor.Show(setup.minimum, setup.maximum, setup.tickFrequency, setup.position,
              model_.Number(row.control, which));
}

void ModulePageWidget::RefreshRow(Row& row) {
  const RowVisibility shown = model_.Visibility(row.control);
  row.widgets.ShowElements(shown.labelAndSource, shown.value, shown.range);
  for (RowNumber which : {RowNumber::Value, RowNumber::RangeLo, RowNumber::RangeHi})
    ShowNumber(row, which);
  row.widgets.ShowSense(model_.Sense(row.control));
  row.widgets.ShowSource(model_.Source(row.control));
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

}  // namespace lumox::qt
