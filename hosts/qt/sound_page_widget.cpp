#include "sound_page_widget.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace lumox::qt {

SoundPageWidget::SoundPageWidget(SoundPage& model, ConfigSession& session, QWidget* parent)
    : QWidget(parent), model_(model) {
  auto* layout = new QVBoxLayout(this);
  for (const QString& text :
       {tr("Use the controls here to configure general options relating to the interaction "
           "between Auralis and The Lumoxic Screen Saver."),
        tr("To configure a particular palette or module control to use sound, select the "
           "\"Palette\" or module panel and set the \"Source\" for the control to one of the "
           "sound options.  Please note that not all controls support sound based sources.")}) {
    auto* label = new QLabel(text, this);
    label->setWordWrap(true);
    layout->addWidget(label);
  }

  auto* options = new QGroupBox(tr("Global Sound Options"), this);
  auto* grid = new QGridLayout(options);
  turbo_ = new QCheckBox(tr("&Turbo Mode"), options);
  autoRun_ = new QCheckBox(tr("Auto &run Auralis"), options);
  autoGain_ = new QCheckBox(tr("Auto Adjust &Gain"), options);
  showInfo_ = new QCheckBox(tr("Display &CD Info"), options);
  grid->addWidget(turbo_, 0, 0);
  grid->addWidget(autoRun_, 0, 1);
  grid->addWidget(autoGain_, 1, 0);
  grid->addWidget(showInfo_, 1, 1);
  layout->addWidget(options);
  for (QCheckBox* box : {turbo_, autoRun_, autoGain_, showInfo_}) {
    connect(box, &QCheckBox::clicked, this, [this] {
      model_.Check(Checks());
      emit Edited();
    });
  }

  status_ = new QPlainTextEdit(this);
  status_->setReadOnly(true);
  status_->setAccessibleName(tr("Sound player status"));
  status_->setMaximumHeight(status_->fontMetrics().lineSpacing() * 5);
  layout->addWidget(status_);

  auto* buttons = new QHBoxLayout;
  auto* launch = new QPushButton(tr("&Launch Auralis"), this);
  auto* test = new QPushButton(tr("Test All Settings"), this);
  buttons->addWidget(launch);
  buttons->addWidget(test);
  buttons->addStretch(1);
  layout->addLayout(buttons);
  layout->addStretch(1);
  connect(launch, &QPushButton::clicked, this, [this] {
    SoundPage::Launch();
    Refresh();
  });
  connect(test, &QPushButton::clicked, this, [this, &session] {
    model_.Apply();
    session.TestRun();
  });
  model_.Load();
  Refresh();
}

SoundChecks SoundPageWidget::Checks() const {
  SoundChecks checks;
  checks.turboMode = turbo_->isChecked();
  checks.autoRunPlayer = autoRun_->isChecked();
  checks.autoAdjustGain = autoGain_->isChecked();
  checks.displayCdInfo = showInfo_->isChecked();
  return checks;
}

void SoundPageWidget::Refresh() {
  status_->setPlainText(QString::fromStdString(model_.Status()));
  const SoundChecks& checks = model_.Checks();
  const std::pair<QCheckBox*, bool> boxes[] = {{turbo_, checks.turboMode},
                                               {autoRun_, checks.autoRunPlayer},
                                               {autoGain_, checks.autoAdjustGain},
                                               {showInfo_, checks.displayCdInfo}};
  for (const auto& [box, checked] : boxes) {
    QSignalBlocker block(box);
    box->setChecked(checked);
  }
}

void SoundPageWidget::showEvent(QShowEvent* event) {
  // Activation: the options as they are now, and the player's state.
  model_.Load();
  Refresh();
  QWidget::showEvent(event);
}

}  // namespace lumox::qt
