// lumox-settings: the settings window of the Lumox screen saver.
//   lumox-settings [--registry FILE]
// Test runs start the saver installed beside this program (else the one on
// the PATH); Help opens the user guide beside it or in the documentation
// directory.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

#include "platform/system.h"
#include "qt_dialogs.h"
#include "settings_window.h"

namespace {

QString FirstExisting(const QStringList& paths) {
  for (const QString& path : paths) {
    if (QFileInfo::exists(path)) return path;
  }
  return paths.front();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("lumox-settings");
  const QStringList args = QApplication::arguments();
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == "--registry" && i + 1 < args.size()) {
      setenv("LUMOX_REGISTRY", args[++i].toLocal8Bit().constData(), 1);
    } else {
      std::fprintf(stderr, "usage: lumox-settings [--registry FILE]\n");
      return 2;
    }
  }
  const QString here = QApplication::applicationDirPath();
  const QString saver = FirstExisting({here + "/lumox", "lumox"});
  const QString guide = FirstExisting(
      {here + "/lumox-guide.html", QDir(here + "/../share/doc/lumox").absolutePath() +
                                        "/lumox-guide.html"});

  lumox::qt::SettingsWindow window(saver.toStdString(), guide);
  lumox::qt::QtSystemServices system(lumox::System(), &window);
  lumox::InstallSystemServices(&system);
  window.resize(window.sizeHint().expandedTo(QSize(1060, 640)));
  window.show();
  const int result = QApplication::exec();
  lumox::InstallSystemServices(nullptr);
  return result;
}
