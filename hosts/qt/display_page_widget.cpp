#include "display_page_widget.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace lumox::qt {

DisplayPageWidget::DisplayPageWidget(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(tr("Choose the monitors the saver covers when it runs full screen. "
                              "The choice is saved at once and applies the next time the saver "
                              "starts."),
                           this);
  intro->setWordWrap(true);
  layout->addWidget(intro);

  auto* box = new QGroupBox(tr("Monitors"), this);
  auto* column = new QVBoxLayout(box);
  choices_ = new QButtonGroup(this);
  const struct {
    MonitorChoice choice;
    QString text;
    QString name;
    QString description;
  } buttons[] = {
      {MonitorChoice::kPrimary, tr("&Primary monitor only"), tr("Primary monitor only"),
       tr("The saver fills the primary monitor; the others keep showing the desktop.")},
      {MonitorChoice::kEach, tr("&Each monitor"), tr("Each monitor"),
       tr("A window on every monitor, all showing the same picture.")},
      {MonitorChoice::kSpan, tr("&Span all monitors"), tr("Span all monitors"),
       tr("One window across all the monitors, drawn as one large picture.")},
  };
  for (const auto& b : buttons) {
    auto* button = new QRadioButton(b.text, box);
    button->setAccessibleName(b.name);
    button->setAccessibleDescription(b.description);
    button->setToolTip(b.description);
    choices_->addButton(button, static_cast<int>(b.choice));
    column->addWidget(button);
  }
  layout->addWidget(box);
  layout->addStretch(1);
  connect(choices_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
    if (checked) Choose(static_cast<MonitorChoice>(id));
  });
  Refresh();
}

void DisplayPageWidget::Refresh() {
  const QSignalBlocker quiet(choices_);
  choices_->button(static_cast<int>(ReadMonitorChoice()))->setChecked(true);
}

void DisplayPageWidget::Choose(MonitorChoice choice) {
  // A store that refused the value leaves the buttons showing what it holds.
  if (!StoreMonitorChoice(choice)) Refresh();
}

}  // namespace lumox::qt
