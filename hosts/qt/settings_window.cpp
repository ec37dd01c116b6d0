#include "settings_window.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "control/sound_link.h"
#include "control/sound_share.h"
#include "custom_palette_widget.h"
#include "display_page_widget.h"
#include "main_page_widget.h"
#include "module_page_widget.h"
#include "palette/palette.h"
#include "palette_page_widget.h"
#include "platform/posix/file_registry.h"
#include "platform/system.h"
#include "preview_widget.h"
#include "saver/module_table.h"
#include "saver/runtime_services.h"
#include "settings/saved_displays.h"
#include "sound_page_widget.h"
#include "state/saver_state.h"
#include "stderr_messages.h"

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

SettingsWindow::SettingsWindow(std::string saverPath, QString guidePath, ConfigDialogs* dialogs,
                               QWidget* parent)
    : QWidget(parent),
      reports_(new StderrMessages(this)),
      edited_(NewState()),
      share_(AttachConfigDialog()),
      qtDialogs_(this),
      session_(*edited_, dialogs ? *dialogs : qtDialogs_, std::move(saverPath),
               QDir::homePath().toStdString()),
      mainModel_(session_),
      guidePath_(std::move(guidePath)) {
  connect(reports_, &StderrMessages::Report, this, &SettingsWindow::ShowReport);
  // As the Windows sheet opens: the saver's version for the player and in
  // the registry, the session open before the load (so sound sources stay
  // as the user chose them), the window counted among the block's clients.
  uint16_t playerMajor = 0, playerMinor = 0;
  if (share_ != nullptr) {
    share_->SetU16(share_offset::SaverVersionMajor, kSaverVersionMajor);
    share_->SetU16(share_offset::SaverVersionMinor, kSaverVersionMinor);
    playerMajor = share_->U16(share_offset::PlayerVersionMajor);
    playerMinor = share_->U16(share_offset::PlayerVersionMinor);
    ConfigSheetShown(share_);
  }
  setWindowTitle(QString::fromStdString(SheetCaption(playerMajor, playerMinor)));
  session_.Begin();
  WriteVersionStamp();
  SetUpModuleTable(*edited_, DefaultRuntimeServices());
  auto markModified = [this] { session_.SetModified(); };
  for (int module = 0; module < kModuleCount; ++module)
    moduleModels_.push_back(std::make_unique<ModulePage>(session_, module));
  paletteModel_ = std::make_unique<PalettePage>(edited_->palette->settings, markModified);
  customModel_ = std::make_unique<CustomPaletteEditor>(edited_->palette->custom, markModified);

  auto* layout = new QVBoxLayout(this);
  auto* body = new QHBoxLayout;
  // Sixteen pages are too many for a row of tabs: a list beside them names
  // every page at once (arrow keys move through it; Ctrl+Tab works too).
  pageList_ = new QListWidget(this);
  pageList_->setAccessibleName(tr("Pages"));
  body->addWidget(pageList_);
  pages_ = new QTabWidget(this);
  pages_->tabBar()->hide();
  pages_->setAccessibleName(tr("Settings pages"));
  modulePages_.assign(kModuleCount, nullptr);
  for (int module : kModuleTabs) {
    auto* page = new ModulePageWidget(*moduleModels_[module], pages_);
    modulePages_[module] = page;
    AddPage(page, module == kBitmap ? tr("Slide Show") : QString(kModuleNames[module]),
            QString::fromStdString(ModuleGuideSection(module)));
    connect(page, &ModulePageWidget::Edited, this, &SettingsWindow::Edited);
  }
  palettePage_ = new PalettePageWidget(*paletteModel_, session_, pages_);
  AddPage(palettePage_, tr("Palette"), kPaletteGuideSection);
  connect(palettePage_, &PalettePageWidget::Edited, this, &SettingsWindow::Edited);
  customPage_ = new CustomPaletteWidget(*customModel_, session_, pages_);
  AddPage(customPage_, tr("Custom"), kCustomPaletteGuideSection);
  connect(customPage_, &CustomPaletteWidget::Edited, this, &SettingsWindow::Edited);
  // Without the shared block (one of another layout is in the way) there
  // is no player to talk to: the page stays out.
  if (share_ != nullptr) {
    soundModel_ = std::make_unique<SoundPage>(edited_->options, *share_, markModified);
    soundPage_ = new SoundPageWidget(*soundModel_, session_, pages_);
    AddPage(soundPage_, tr("Sound"), kSoundGuideSection);
    connect(soundPage_, &SoundPageWidget::Edited, this, &SettingsWindow::Edited);
  }
  mainPage_ = new MainPageWidget(mainModel_, pages_);
  AddPage(mainPage_, tr("Main Settings"), kMainGuideSection);
  connect(mainPage_, &MainPageWidget::Edited, this, [this] { preview_->SettingsChanged(); });
  displayPage_ = new DisplayPageWidget(pages_);
  AddPage(displayPage_, tr("Display"), kDisplayGuideSection);
  body->addWidget(pages_, 3);

  auto* side = new QVBoxLayout;
  preview_ = new PreviewWidget(*edited_, this);
  side->addWidget(preview_);
  side->addStretch(1);
  body->addLayout(side, 2);
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

  pageList_->setMaximumWidth(pageList_->sizeHintForColumn(0) + 2 * pageList_->frameWidth() + 8);
  connect(pages_, &QTabWidget::currentChanged, this, &SettingsWindow::PageChanged);
  connect(pageList_, &QListWidget::currentRowChanged, pages_, &QTabWidget::setCurrentIndex);
  pages_->setCurrentWidget(mainPage_);
  pageList_->setCurrentRow(pages_->currentIndex());
  shownPage_ = pages_->currentIndex();
  WatchRegistry();
}

SettingsWindow::~SettingsWindow() {
  // Reports from here on go to standard error only: there is no window to
  // show them in.
  disconnect(reports_, nullptr, this, nullptr);
  // The preview's run ends before the settings it copies from go.
  delete preview_;
  preview_ = nullptr;
  session_.EndTestRun();
  session_.End();
  if (share_ != nullptr) {
    ConfigSheetClosed(share_);
    DetachConfigDialog(share_);
  }
  ReleasePaletteState(edited_->palette);
  edited_->palette = nullptr;
}

void SettingsWindow::AddPage(QWidget* page, const QString& title, const QString& anchor) {
  page->setProperty("guideAnchor", anchor);
  page->setAccessibleName(title);
  pages_->addTab(page, title);
  pageList_->addItem(title);
}

void SettingsWindow::ShowReport(const QString& text) {
  auto* box = new QMessageBox(QMessageBox::Warning, tr("Lumox Settings"), text, QMessageBox::Ok,
                              this);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

ModulePageWidget* SettingsWindow::modulePage(int module) const { return modulePages_[module]; }

QUrl SettingsWindow::HelpUrl() const {
  QUrl url = QUrl::fromLocalFile(guidePath_);
  url.setFragment(pages_->currentWidget()->property("guideAnchor").toString());
  return url;
}

void SettingsWindow::Edited() {
  mainPage_->FillDisplayList();  // "Scratch" from now on
  preview_->SettingsChanged();
}

void SettingsWindow::PageChanged(int index) {
  // Leaving a page takes its controls into the live settings.
  pageList_->setCurrentRow(index);
  QWidget* left = pages_->widget(shownPage_);
  if (left == mainPage_) mainModel_.Leave(mainPage_->Options());
  if (left == soundPage_ && soundModel_) soundModel_->Apply();
  shownPage_ = index;
  // Every page's activation ends a pending test run.
  session_.EndTestRun();
  if (pages_->widget(index) == mainPage_) {
    mainPage_->Fill();
    mainPage_->FillDisplayList();
  }
}

void SettingsWindow::changeEvent(QEvent* event) {
  // Back from a test run: its display goes and the previous one is active.
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && session_.EndTestRun())
    mainPage_->FillDisplayList();
  QWidget::changeEvent(event);
}

void SettingsWindow::closeEvent(QCloseEvent* event) {
  // Changes the settings file could not take live only in this program.
  // Before they go, the person may make room and have them written.
  const std::string text =
      "Some changes could not be written to the settings file \"" + DefaultRegistryPath() +
      "\" and will be lost when this window closes.\n\nFree some disk space (or make the "
      "file writable), then choose Yes to try again.";
  while (!Registry().WriteUnsaved() && System().AskYesNo("Lumox Settings", text)) {
  }
  QWidget::closeEvent(event);
}

void SettingsWindow::Apply() {
  if (soundModel_) soundModel_->Apply();
  mainModel_.Apply(mainPage_->Options());
}

void SettingsWindow::WatchRegistry() {
  // Another program (the saver's F1, lumox --import) may change the saved
  // displays or the monitor choice while the window is open: the pages
  // follow. The store is replaced by a rename, so its directory is watched
  // too.
  const QString path = QString::fromStdString(DefaultRegistryPath());
  registryWatcher_ = new QFileSystemWatcher(this);
  if (QFileInfo::exists(path)) registryWatcher_->addPath(path);
  registryWatcher_->addPath(QFileInfo(path).absolutePath());
  auto changed = [this, path] {
    if (!registryWatcher_->files().contains(path) && QFileInfo::exists(path))
      registryWatcher_->addPath(path);
    mainPage_->ReloadDisplayNames();
    displayPage_->Refresh();
  };
  connect(registryWatcher_, &QFileSystemWatcher::fileChanged, this, changed);
  connect(registryWatcher_, &QFileSystemWatcher::directoryChanged, this, changed);
}

}  // namespace lumox::qt
