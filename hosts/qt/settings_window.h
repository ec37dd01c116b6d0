// The settings window: the pages of the configuration over their models,
// in the order of the saver's property sheet (the module pages, then Main
// Settings), opened on "Main Settings", beside the live preview. OK applies
// the Main Settings page (unsaved changes are kept as "Scratch"); Cancel
// closes; Help opens the user guide at the page's section.
//
// The window owns the edited settings (a run state of its own, loaded from
// the "Active" display) and the configuration session over them. The file
// choosers and messages are Qt's unless the caller gives others (tests).
#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "config/config_session.h"
#include "config/main_page.h"
#include "config/module_page.h"
#include "qt_dialogs.h"

class QFileSystemWatcher;
class QTabWidget;

namespace lumox {
struct SaverState;
}

namespace lumox::qt {

class MainPageWidget;
class ModulePageWidget;
class PreviewWidget;

// The pages' anchors in the user guide, by tab.
QString GuideAnchor(int module);  // module pages; -1: Main Settings

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
  PreviewWidget* preview() const { return preview_; }
  ConfigSession& session() { return session_; }
  // The guide's address for the page shown now.
  QUrl HelpUrl() const;

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void PageChanged(int index);
  void Apply();
  void WatchRegistry();

  std::unique_ptr<SaverState> edited_;
  QtConfigDialogs qtDialogs_;
  ConfigSession session_;
  MainPage mainModel_;
  std::vector<std::unique_ptr<ModulePage>> moduleModels_;
  QString guidePath_;

  QTabWidget* pages_ = nullptr;
  MainPageWidget* mainPage_ = nullptr;
  std::vector<ModulePageWidget*> modulePages_;
  PreviewWidget* preview_ = nullptr;
  QFileSystemWatcher* registryWatcher_ = nullptr;
  int shownPage_ = -1;
};

}  // namespace lumox::qt
