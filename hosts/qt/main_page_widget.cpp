#include "main_page_widget.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "state/saver_options.h"

namespace lumox::qt {
namespace {

// The check boxes in the page's order, with the module each one switches.
// Twelve names leave too few letters for shortcuts: the boxes are reached
// with Tab, and the page's other controls keep theirs.
constexpr struct {
  const char* text;
  int module;
} kModuleBoxes[] = {
    {"Bezier", kBezier},   {"Cyclic", kCyclic}, {"Pattern", kPattern}, {"Plasma", kPlasma},
    {"Polygon", kPolygon}, {"Sphere", kSphere}, {"Stain", kStain},     {"Star", kStar},
    {"Vortex", kVortex},   {"Effect", kEffect}, {"Slide Show", kBitmap}, {"Random", kRandom}};

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

MainPageWidget::MainPageWidget(MainPage& model, QWidget* parent)
    : QWidget(parent), model_(model) {
  auto* layout = new QVBoxLayout(this);

  auto* modules = new QGroupBox(tr("Modules"), this);
  auto* moduleGrid = new QGridLayout(modules);
  int position = 0;
  for (const auto& box : kModuleBoxes) {
    auto* check = new QCheckBox(tr(box.text), modules);
    modules_[box.module] = check;
    moduleGrid->addWidget(check, position / 4, position % 4);
    ++position;
    connect(check, &QCheckBox::clicked, this, &MainPageWidget::OptionChanged);
  }
  layout->addWidget(modules);

  auto* options = new QHBoxLayout;
  auto* cpu = new QGroupBox(tr("CPU Usage"), this);
  auto* cpuLayout = new QVBoxLayout(cpu);
  high_ = new QRadioButton(tr("Hi&gh"), cpu);
  normal_ = new QRadioButton(tr("No&rmal"), cpu);
  low_ = new QRadioButton(tr("&Low"), cpu);
  auto* cpuGroup = new QButtonGroup(this);
  for (QRadioButton* button : {high_, normal_, low_}) {
    cpuLayout->addWidget(button);
    cpuGroup->addButton(button);
    connect(button, &QRadioButton::clicked, this, &MainPageWidget::OptionChanged);
  }
  options->addWidget(cpu);

  auto* animateBox = new QGroupBox(tr("Animate"), this);
  auto* animateLayout = new QVBoxLayout(animateBox);
  animate_ = new QSlider(Qt::Vertical, animateBox);
  // "Fast" (0, no pause) at the top: the vertical slider runs downwards.
  animate_->setRange(0, kMaxFrameDelay);
  animate_->setInvertedAppearance(true);
  animate_->setInvertedControls(true);
  animate_->setPageStep(1);
  animate_->setAccessibleName(tr("Animate: pause per frame, fast to slow"));
  animateLayout->addWidget(new QLabel(tr("Fast"), animateBox));
  animateLayout->addWidget(animate_, 1, Qt::AlignHCenter);
  animateLayout->addWidget(new QLabel(tr("Slow"), animateBox));
  // The frame delay marks nothing (no "Scratch"); the live settings take
  // it at once all the same, so the preview shows the pace.
  connect(animate_, &QSlider::valueChanged, this, [this] {
    model_.ReadBack(Options());
    emit Edited();
  });
  options->addWidget(animateBox);

  auto* other = new QVBoxLayout;
  clearFirst_ = new QCheckBox(tr("&Clear screen at startup"), this);
  connect(clearFirst_, &QCheckBox::clicked, this, &MainPageWidget::OptionChanged);
  other->addWidget(clearFirst_);
  auto* titleRow = new QHBoxLayout;
  auto* titleLabel = new QLabel(tr("Seconds to display &title:"), this);
  titleSeconds_ = new QSlider(Qt::Horizontal, this);
  titleSeconds_->setRange(0, kMaxTitleSeconds);
  titleSeconds_->setPageStep(6);
  titleSeconds_->setAccessibleName(tr("Seconds to display title"));
  titleLabel->setBuddy(titleSeconds_);
  titleNumber_ = new QLabel(this);
  titleNumber_->setMinimumWidth(titleNumber_->fontMetrics().horizontalAdvance("0000"));
  titleRow->addWidget(titleLabel);
  titleRow->addWidget(titleSeconds_, 1);
  titleRow->addWidget(titleNumber_);
  other->addLayout(titleRow);
  other->addStretch(1);
  connect(titleSeconds_, &QSlider::valueChanged, this, [this](int seconds) {
    titleNumber_->setNum(seconds);
    OptionChanged();
  });
  options->addLayout(other, 1);
  layout->addLayout(options);

  auto* saved = new QGroupBox(tr("Saved Displays"), this);
  auto* savedLayout = new QGridLayout(saved);
  displays_ = new QComboBox(saved);
  displays_->setEditable(true);
  displays_->setInsertPolicy(QComboBox::NoInsert);
  displays_->setAccessibleName(tr("Saved displays"));
  displays_->lineEdit()->setMaxLength(128);
  savedLayout->addWidget(displays_, 0, 0, 1, 3);
  auto* save = new QPushButton(tr("&Save Selection"), saved);
  auto* remove = new QPushButton(tr("&Delete Selection"), saved);
  auto* preview = new QPushButton(tr("Pre&view"), saved);
  auto* exportButton = new QPushButton(tr("E&xport..."), saved);
  auto* importButton = new QPushButton(tr("&Import..."), saved);
  savedLayout->addWidget(save, 1, 0);
  savedLayout->addWidget(remove, 1, 1);
  savedLayout->addWidget(preview, 1, 2);
  savedLayout->addWidget(exportButton, 2, 0);
  savedLayout->addWidget(importButton, 2, 1);
  layout->addWidget(saved);
  layout->addStretch(1);

  connect(displays_, &QComboBox::activated, this, [this](int index) {
    if (model_.Choose(displays_->itemText(index).toStdString())) AfterLoad();
    else FillDisplayList();
  });
  connect(save, &QPushButton::clicked, this, [this] {
    const QString typed = BoxText();
    const bool saved = model_.Save(typed.toStdString(), Options());
    FillDisplayList();
    if (!saved) displays_->setEditText(typed);  // a refused name, to be corrected
  });
  connect(remove, &QPushButton::clicked, this, [this] {
    model_.Delete(BoxText().toStdString());
    FillDisplayList();
  });
  connect(exportButton, &QPushButton::clicked, this, [this] {
    const QString typed = BoxText();
    const bool exported = model_.Export(typed.toStdString(), Options());
    FillDisplayList();
    if (!exported) displays_->setEditText(typed);
  });
  connect(importButton, &QPushButton::clicked, this, [this] {
    if (model_.Import()) AfterLoad();
    else FillDisplayList();
  });
  connect(preview, &QPushButton::clicked, this, [this] { model_.Preview(Options()); });

  Fill();
  FillDisplayList();
}

void MainPageWidget::Fill() {
  const MainOptions options = model_.Fill();
  for (int i = 0; i < kModuleCount; ++i) modules_[i]->setChecked(options.active[i]);
  high_->setChecked(options.priority == kPriorityHigh);
  normal_->setChecked(options.priority == kPriorityNormal);
  low_->setChecked(options.priority == kPriorityIdle);
  clearFirst_->setChecked(options.clearFirst);
  QSignalBlocker blockAnimate(animate_);
  animate_->setValue(options.frameDelay);
  QSignalBlocker blockTitle(titleSeconds_);
  titleSeconds_->setValue(options.titleSeconds);
  titleNumber_->setNum(options.titleSeconds);
}

void MainPageWidget::FillDisplayList() {
  QSignalBlocker block(displays_);
  displays_->clear();
  for (const std::string& name : model_.DisplayNames()) displays_->addItem(Text(name));
  const QString box = Text(model_.BoxText());
  const int index = displays_->findText(box, Qt::MatchFixedString);
  if (index >= 0) displays_->setCurrentIndex(index);
  displays_->setEditText(box);
}

void MainPageWidget::ReloadDisplayNames() {
  QStringList names;
  for (const std::string& name : model_.DisplayNames()) names << Text(name);
  QStringList shown;
  for (int i = 0; i < displays_->count(); ++i) shown << displays_->itemText(i);
  if (names == shown) return;
  const QString typed = displays_->currentText();
  FillDisplayList();
  if (displays_->lineEdit()->hasFocus()) displays_->setEditText(typed);
}

MainOptions MainPageWidget::Options() const {
  MainOptions options;
  for (int i = 0; i < kModuleCount; ++i) options.active[i] = modules_[i]->isChecked();
  // The last checked of High, Normal, Low decides.
  if (high_->isChecked()) options.priority = kPriorityHigh;
  if (normal_->isChecked()) options.priority = kPriorityNormal;
  if (low_->isChecked()) options.priority = kPriorityIdle;
  options.clearFirst = clearFirst_->isChecked();
  options.titleSeconds = titleSeconds_->value();
  options.frameDelay = animate_->value();
  return options;
}

QString MainPageWidget::BoxText() const { return displays_->currentText(); }

void MainPageWidget::OptionChanged() {
  model_.OptionChanged();
  // The live settings follow the controls, so the preview and a test run
  // show them.
  model_.ReadBack(Options());
  ShowScratch();
  emit Edited();
}

void MainPageWidget::ShowScratch() { displays_->setEditText(Text(model_.BoxText())); }

void MainPageWidget::AfterLoad() {
  Fill();
  FillDisplayList();
  emit Edited();
}

}  // namespace lumox::qt
