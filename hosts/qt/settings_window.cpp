#include "settings_window.h"

#include <QDesktopServices>
#include <QDir>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "main_page_widget.h"
#include "module_page_widget.h"
#include "palette/palette.h"
#include "platform/posix/file_registry.h"
#include "preview_widget.h"
#include "saver/module_table.h"
#include "saver/runtime_services.h"
#include "state/saver_state.h"

namespace lumox::qt {
namespace {

// The module pages in the sheet's order: Random comes before the slide show.
constexpr int kModuleTabs[] = {kBezier, kCyclic, kPattern, kPlasma, kPolygon, kSphere,
                               kStain,  kStar,   kVortex,  kEffect, kRandom,  kBitmap};

std::unique_ptr<SaverState> NewState() {
  auto state = std::make_unique<SaverState>();
  state->palette = CreatePaletteState(nullptr);
  return state;
}

}  // namespace

QString GuideAnchor(int module) {
  switch (module) {
    case -1: return "main-settings";
    case kBitmap: return "module-slide-show";
    default: return "module-" + QString(kModuleNames[module]).toLower();
  }
}

SettingsWindow::SettingsWindow(std::string saverPath, QString guidePath, ConfigDialogs* dialogs,
                               QWidget* parent)
    : QWidget(parent),
      edited_(NewState()),
      qtDialogs_(this),
      session_(*edited_, dialogs ? *dialogs : qtDialogs_, std::move(saverPath),
               QFileInfo(QDir::homePath()).absoluteFilePath().toStdString()),
      mainModel_(session_),
      guidePath_(std::move(guidePath)) {
  setWindowTitle(tr("Lumox v3.5.350 Settings"));
  // Open before the load, so sound sources stay as the user chose them.
  session_.Begin();
  SetUpModuleTable(*edited_, DefaultRuntimeServices());
  for (int module = 0; module < kModuleCount; ++module)
    moduleModels_.push_back(std::make_unique<ModulePage>(session_, module));

  auto* layout = new QVBoxLayout(this);
  auto* body = new QHBoxLayout;
  pages_ = new QTabWidget(this);
  pages_->setUsesScrollButtons(true);
  pages_->setAccessibleName(tr("Settings pages"));
  modulePages_.assign(kModuleCount, nullptr);
  for (int module : kModuleTabs) {
    auto* page = new ModulePageWidget(*moduleModels_[module], pages_);
    modulePages_[module] = page;
    pages_->addTab(page, module == kBitmap ? tr("Slide Show") : QString(kModuleNames[module]));
  }
  mainPage_ = new MainPageWidget(mainModel_, pages_);
  pages_->addTab(mainPage_, tr("Main Settings"));
  body->addWidget(pages_, 3);

  preview_ = new PreviewWidget(*edited_, this);
  body->addWidget(preview_, 2);
  layout->addLayout(body, 1);

  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    Apply();
    close();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
  connect(buttons, &QDialogButtonBox::helpRequested, this,
          [this] { QDesktopServices::openUrl(HelpUrl()); });

  for (ModulePageWidget* page : modulePages_) {
    connect(page, &ModulePageWidget::Edited, this, [this] {
      mainPage_->FillDisplayList();
      preview_->SettingsChanged();
    });
  }
  connect(mainPage_, &MainPageWidget::Edited, preview_, &PreviewWidget::SettingsChanged);
  connect(pages_, &QTabWidget::currentChanged, this, &SettingsWindow::PageChanged);
  pages_->setCurrentWidget(mainPage_);
  shownPage_ = pages_->currentIndex();
  WatchRegistry();
}

SettingsWindow::~SettingsWindow() {
  // The preview's run ends before the settings it copies from go.
  delete preview_;
  preview_ = nullptr;
  session_.End();
  ReleasePaletteState(edited_->palette);
  edited_->palette = nullptr;
}

ModulePageWidget* SettingsWindow::modulePage(int module) const { return modulePages_[module]; }

QUrl SettingsWindow::HelpUrl() const {
  QUrl url = QUrl::fromLocalFile(guidePath_);
  int module = -1;
  for (int i = 0; i < kModuleCount; ++i) {
    if (pages_->currentWidget() == modulePages_[i]) module = i;
  }
  url.setFragment(GuideAnchor(module));
  return url;
}

void SettingsWindow::PageChanged(int index) {
  // Leaving Main Settings takes its controls into the live settings.
  if (pages_->widget(shownPage_) == mainPage_) mainModel_.Leave(mainPage_->Options());
  shownPage_ = index;
  if (pages_->widget(index) == mainPage_) {
    if (mainModel_.Activated()) mainPage_->FillDisplayList();
    mainPage_->Fill();
    mainPage_->FillDisplayList();
  }
}

void SettingsWindow::changeEvent(QEvent* event) {
  // Back from a test run: its display goes and the previous one is active.
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && mainModel_.Activated())
    mainPage_->FillDisplayList();
  QWidget::changeEvent(event);
}

void SettingsWindow::Apply() {
  mainModel_.Apply(mainPage_->Options());
}

void SettingsWindow::WatchRegistry() {
  // Another program (the saver's F1, lumox --import) may change the saved
  // displays while the window is open: the list follows. The store is
  // replaced atomically, so the watch is set again after each change.
  const QString path = QString::fromStdString(DefaultRegistryPath());
  registryWatcher_ = new QFileSystemWatcher(this);
  if (QFileInfo::exists(path)) registryWatcher_->addPath(path);
  registryWatcher_->addPath(QFileInfo(path).absolutePath());
  auto changed = [this, path] {
    if (!registryWatcher_->files().contains(path) && QFileInfo::exists(path))
      registryWatcher_->addPath(path);
    mainPage_->ReloadDisplayNames();
  };
  connect(registryWatcher_, &QFileSystemWatcher::fileChanged, this, changed);
  connect(registryWatcher_, &QFileSystemWatcher::directoryChanged, this, changed);
}

}  // namespace lumox::qt
