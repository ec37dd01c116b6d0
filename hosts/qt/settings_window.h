// The settings window: the pages of the configuration over their models,
// in the order of the saver's property sheet (the module pages, Palette,
// Custom, Sound, Main Settings, Display), opened on "Main Settings", beside
// the live preview. The Display page chooses the monitors the saver covers:
// the Windows page's video modes have no counterpart on a Linux desktop.
// OK applies the Sound and Main Settings pages
// (unsaved changes are kept as "Scratch"); Cancel closes; Help opens the
// user guide at the page's section.
//
// The window owns the edited settings (a run state of its own, loaded from
// the "Active" display), the configuration session over them and the
// shared block with the sound player. What the settings store reports on
// standard error (a damaged settings file) is shown in a message box. The
// file choosers and messages are Qt's unless the caller gives others
// (tests).
#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "config/config_session.h"
#include "config/custom_palette.h"
#include "config/main_page.h"
#include "config/module_page.h"
#include "config/palette_page.h"
#include "config/sound_page.h"
#include "qt_dialogs.h"

class QFileSystemWatcher;
class QListWidget;
class QTabWidget;

namespace lumox {
struct SaverState;
class SoundShare;
}

namespace lumox::qt {

class CustomPaletteWidget;
class DisplayPageWidget;
class MainPageWidget;
class ModulePageWidget;
class PalettePageWidget;
class PreviewWidget;
class SoundPageWidget;
class StderrMessages;

class SettingsWindow final : public QWidget {
  Q_OBJECT

 public:
  // `saverPath` is the saver started for test runs; `guidePath` the user
  // guide's HTML file. `dialogs` may be null: Qt's choosers and messages.
  SettingsWindow(std::string saverPath, QString guidePath, ConfigDialogs* dialogs = nullptr,
                 QWidget* parent = nullptr);
  ~SettingsWindow() override;

  QTabWidget* pages() const { return pages_; }
  MainPageWidget* mainPage() const { return mainPage_; }
  ModulePageWidget* modulePage(int module) const;
  PalettePageWidget* palettePage() const { return palettePage_; }
  CustomPaletteWidget* customPalettePage() const { return customPage_; }
  SoundPageWidget* soundPage() const { return soundPage_; }
  DisplayPageWidget* displayPage() const { return displayPage_; }
  PreviewWidget* preview() const { return preview_; }
  // The guide's address for the page shown now.
  QUrl HelpUrl() const;

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void AddPage(QWidget* page, const QString& title, const QString& anchor);
  void ShowReport(const QString& text);
  void PageChanged(int index);
  void Edited();
  void Apply();
  void WatchRegistry();

  // First: the set-up's own reports (a damaged settings file) are shown.
  StderrMessages* reports_;
  std::unique_ptr<SaverState> edited_;
  SoundShare* share_ = nullptr;
  QtConfigDialogs qtDialogs_;
  ConfigSession session_;
  MainPage mainModel_;
  std::vector<std::unique_ptr<ModulePage>> moduleModels_;
  std::unique_ptr<PalettePage> paletteModel_;
  std::unique_ptr<CustomPaletteEditor> customModel_;
  std::unique_ptr<SoundPage> soundModel_;
  QString guidePath_;

  QListWidget* pageList_ = nullptr;
  QTabWidget* pages_ = nullptr;
  MainPageWidget* mainPage_ = nullptr;
  std::vector<ModulePageWidget*> modulePages_;
  PalettePageWidget* palettePage_ = nullptr;
  CustomPaletteWidget* customPage_ = nullptr;
  SoundPageWidget* soundPage_ = nullptr;
  DisplayPageWidget* displayPage_ = nullptr;
  PreviewWidget* preview_ = nullptr;
  QFileSystemWatcher* registryWatcher_ = nullptr;
  int shownPage_ = -1;
};

}  // namespace lumox::qt
