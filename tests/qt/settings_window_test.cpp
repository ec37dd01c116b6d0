// The settings window used as a person would, with keys and clicks, on the
// offscreen platform: a module row's source and numbers changed, the
// display saved under a new name, exported, deleted, imported again, and
// the registry file read after each step. A damaged settings file changes
// nothing. Every page is photographed for a person to look at.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QAbstractSpinBox>
#include <QPushButton>
#include <QScrollBar>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>

#include "config/monitor_choice.h"
#include "config/scripted_dialogs.h"
#include "custom_palette_widget.h"
#include "display_page_widget.h"
#include "main_page_widget.h"
#include "module_page_widget.h"
#include "palette_page_widget.h"
#include "platform/file_size_limit.h"
#include "platform/recording_system.h"
#include "platform/system.h"
#include "preview_widget.h"
#include "settings_window.h"
#include "state/module.h"
#include "state/palette_state.h"
#include "state/saver_state.h"

namespace lumox::qt {
namespace {

using testing::ScriptedDialogs;

template <typename Widget>
Widget* Named(QWidget* parent, const QString& name) {
  for (Widget* widget : parent->findChildren<Widget*>())
    if (widget->accessibleName() == name) return widget;
  return nullptr;
}

// The push button (or other button) whose text, mnemonic aside, is `text`.
template <typename Widget = QPushButton>
Widget* Button(QWidget* parent, const QString& text) {
  for (Widget* button : parent->findChildren<Widget*>())
    if (button->text().remove('&') == text) return button;
  return nullptr;
}

// A file of `bytes` in `dir`, offered as the next chooser's answer.
void OfferFile(const QTemporaryDir& dir, ScriptedDialogs& dialogs, const QString& name,
               const QByteArray& bytes) {
  QFile file(dir.filePath(name));
  if (file.open(QIODevice::WriteOnly)) file.write(bytes);
  dialogs.answers.push_back({file.fileName().toStdString()});
}

void Type(QLineEdit* box, const QString& text) {
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, text);
  QTest::keyClick(box, Qt::Key_Return);
}

}  // namespace

class SettingsWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString registryPath_;
  ScriptedDialogs dialogs_;
  RecordingSystemServices system_;
  std::unique_ptr<SettingsWindow> window_;

  QString Registry() const {
    QFile file(registryPath_);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
  }
  // The values of one saved display's module key, "name" -> "hex:..", from
  // the registry file itself.
  QMap<QString, QString> StoredKey(const QString& display, const QString& key) const {
    const QString header = "[HKEY_CURRENT_USER\\Control Panel\\Screen Saver.Lumox\\Saved\\" +
                           display + "\\" + key + "]";
    QMap<QString, QString> values;
    const QStringList lines = Registry().split('\n');
    qsizetype at = lines.indexOf(header);
    if (at < 0) return values;
    for (++at; at < lines.size() && !lines[at].isEmpty(); ++at) {
      const qsizetype equals = lines[at].indexOf('=');
      values[lines[at].left(equals).remove('"')] = lines[at].mid(equals + 1);
    }
    return values;
  }
  bool StoresDisplay(const QString& display) const {
    return Registry().contains("\\Saved\\" + display + "]");
  }
  QComboBox* Displays() const { return Named<QComboBox>(window_->mainPage(), "Saved displays"); }
  void ShowMain() { window_->pages()->setCurrentWidget(window_->mainPage()); }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    registryPath_ = dir_.filePath("registry.reg");
    qputenv("LUMOX_REGISTRY", registryPath_.toLocal8Bit());
    InstallSystemServices(&system_);
    window_ = std::make_unique<SettingsWindow>("/opt/lumox/lumox", dir_.filePath("guide.html"),
                                               &dialogs_);
    window_->resize(1100, 720);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }

  void cleanupTestCase() {
    window_.reset();
    InstallSystemServices(nullptr);
  }

  void opensOnMainSettingsWithTheFirstRunDisplays() {
    QCOMPARE(window_->pages()->currentWidget(), window_->mainPage());
    // The module pages, Palette, Custom, Sound, Main Settings and Display.
    QCOMPARE(window_->pages()->count(), kModuleCount + 5);
    QVERIFY(Displays()->findText("[D] Bezier") >= 0);
    QVERIFY(StoresDisplay("[D] Bezier"));
    QCOMPARE(window_->HelpUrl().fragment(), QString("main-settings"));
  }

  void previewRunsWhileShownAndPausesWhenHidden() {
    PreviewWidget* preview = window_->preview();
    QTRY_VERIFY_WITH_TIMEOUT(preview->running(), 3000);
    // The modules draw and the palette thread colours them: the picture is
    // not one flat colour for long.
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
          QImage flat = preview->image().copy();
          flat.fill(flat.pixelIndex(0, 0));
          return flat != preview->image();
        }(),
        5000);
    QCOMPARE(preview->image().format(), QImage::Format_Indexed8);
    QCOMPARE(preview->image().colorCount(), 256);
    preview->hide();
    QVERIFY(!preview->running());
    preview->show();
    QVERIFY(preview->running());
  }

  void previewTakesTheEditedSettingsWithSoundOscillating() {
    SaverState edited, run;
    PaletteState editedPalette, runPalette;
    edited.palette = &editedPalette;
    run.palette = &runPalette;
    ModuleControl& width = run.table[kBezier].controls[3];
    width.Defined = 1;
    edited.table[kBezier].controls[3] = {1, 13, kSourceRight, 150, 12, 40, 9, 1, 200, 4, 0.5f, 1};
    edited.table[kBezier].controls[17].Value = 99;  // no such control: not copied
    std::snprintf(edited.table[kBitmap].text, kModuleTextSize, "%s", "~/Pictures/*.png");
    edited.options.Active[kStar] = 1;
    editedPalette.settings.Effect[kGreen] = kEffectCustom;
    editedPalette.settings.values[kDirection][kBlue].Source = kSourceVolume;
    editedPalette.custom[7].Set({1, 2, 3});

    CopyEditedSettings(edited, run);
    // No player in a preview: a sound source oscillates. The run's own
    // definition (its maximum) stays.
    QCOMPARE(std::tie(width.Source, width.Value, width.RangeLo, width.RangeHi, width.Sense, width.Maximum),
             std::make_tuple(int32_t{kSourceOscillate}, 150, 40, 9, 4, 0));
    QCOMPARE(run.table[kBezier].controls[17].Value, 0);
    QCOMPARE(QString(run.table[kBitmap].text), QString("~/Pictures/*.png"));
    QCOMPARE(int(run.options.Active[kStar]), 1);
    QCOMPARE(int(runPalette.settings.Effect[kGreen]), int(kEffectCustom));
    QCOMPARE(int(runPalette.settings.values[kDirection][kBlue].Source), int(kSourceOscillate));
    QCOMPARE(int(runPalette.custom[7].blue), 3);
  }

  void changesARowsSourceAndNumbersWithKeys() {
    ModulePageWidget* bezier = window_->modulePage(kBezier);
    window_->pages()->setCurrentWidget(bezier);
    QCOMPARE(window_->HelpUrl().fragment(), QString("module-bezier"));

    // "Symmetry": Set -> Random -> Oscillate; the range replaces the value.
    QComboBox* source = Named<QComboBox>(bezier, "Symmetry source");
    QVERIFY(source);
    source->setFocus();
    QTest::keyClick(source, Qt::Key_Down);
    QTest::keyClick(source, Qt::Key_Down);
    QCOMPARE(source->currentText(), QString("Oscillate"));
    QVERIFY(Named<QSlider>(bezier, "Symmetry range low")->isVisible());
    QVERIFY(!Named<QSlider>(bezier, "Symmetry")->isVisible());
    Type(Named<QLineEdit>(bezier, "Symmetry range low number"), "5");

    // A typed number beyond the limit is held to it: Width allows 1..200.
    QLineEdit* width = Named<QLineEdit>(bezier, "Width number");
    Type(width, "500");
    QCOMPARE(width->text(), QString("200"));
    QCOMPARE(Named<QSlider>(bezier, "Width")->value(), 200);
    // Not a number: the box shows the stored one again.
    Type(width, "wide");
    QCOMPARE(width->text(), QString("200"));

    // "Beziers" one step right with the keyboard.
    QSlider* curves = Named<QSlider>(bezier, "Beziers");
    const int before = curves->value();
    curves->setFocus();
    QTest::keyClick(curves, Qt::Key_Right);
    QCOMPARE(Named<QLineEdit>(bezier, "Beziers number")->text(), QString::number(before + 1));

    // Unsaved: the main page's box says so.
    ShowMain();
    QCOMPARE(Displays()->currentText(), QString("Scratch"));
  }

  void movesBetweenPagesWithTheKeyboard() {
    QTabWidget* pages = window_->pages();
    pages->setCurrentWidget(window_->modulePage(kCyclic));
    QListWidget* list = Named<QListWidget>(window_.get(), "Pages");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(pages->currentWidget(), window_->modulePage(kPattern));
    QLineEdit* box = Named<QLineEdit>(window_->modulePage(kPattern), "Waves number");
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(pages->currentWidget(), window_->modulePage(kPlasma));
    QCOMPARE(list->currentRow(), pages->currentIndex());
  }

  void turnsToTheSecondPageOfRows() {
    ModulePageWidget* star = window_->modulePage(kStar);
    window_->pages()->setCurrentWidget(star);
    QComboBox* symmetry = Named<QComboBox>(star, "Symmetry source");  // control 13
    QComboBox* stars = Named<QComboBox>(star, "Stars source");        // control 0
    QVERIFY(stars->isVisible() && !symmetry->isVisible());
    QTest::mouseClick(Button(star, "Next page"), Qt::LeftButton);
    QVERIFY(!stars->isVisible() && symmetry->isVisible());
    QVERIFY(!Button(star, "Next page")->isEnabled());
    QTest::mouseClick(Button(star, "Previous page"), Qt::LeftButton);
    QVERIFY(stars->isVisible() && !symmetry->isVisible());
    // Bezier has ten rows: no second page.
    window_->pages()->setCurrentWidget(window_->modulePage(kBezier));
    QVERIFY(!Button(window_->modulePage(kBezier), "Next page")->isVisible());
  }

  void savesUnderANewName() {
    ShowMain();
    // Only active modules are stored: Bezier joins the display.
    QCheckBox* bezierBox = Button<QCheckBox>(window_->mainPage(), "Bezier");
    QVERIFY(bezierBox);
    if (!bezierBox->isChecked()) {
      bezierBox->setFocus();
      QTest::keyClick(bezierBox, Qt::Key_Space);
    }
    QVERIFY(bezierBox->isChecked());
    Type(Displays()->lineEdit(), "Desk Test");
    QTest::mouseClick(Button(window_->mainPage(), "Save Selection"), Qt::LeftButton);
    const QMap<QString, QString> bezier = StoredKey("Desk Test", "Modules\\Bezier");
    QCOMPARE(bezier.value("Check1"), QString("hex:02,00,00,00"));    // Oscillate
    QCOMPARE(bezier.value("RangeLo1"), QString("hex:05,00,00,00"));
    QCOMPARE(bezier.value("Control3"), QString("hex:c8,00,00,00"));  // Width 200
    QVERIFY(Registry().contains("\"Active\"=\"Desk Test\""));
    QCOMPARE(Displays()->currentText(), QString("Desk Test"));
  }

  void exportsDeletesAndImportsAgain() {
    ShowMain();
    const QString file = dir_.filePath("desk.LMX");
    dialogs_.answers.push_back({file.toStdString()});
    Type(Displays()->lineEdit(), "Desk Test");
    QTest::mouseClick(Button(window_->mainPage(), "Export..."), Qt::LeftButton);
    QFile exported(file);
    QVERIFY(exported.open(QIODevice::ReadOnly));
    QCOMPARE(exported.read(4), QByteArray("\x00\x42\x00\x42", 4));
    QVERIFY(StoresDisplay("Desk Test"));

    Type(Displays()->lineEdit(), "Desk Test");
    QTest::mouseClick(Button(window_->mainPage(), "Delete Selection"), Qt::LeftButton);
    QVERIFY(!StoresDisplay("Desk Test"));
    QCOMPARE(Displays()->findText("Desk Test"), -1);

    dialogs_.answers.push_back({file.toStdString()});
    QTest::mouseClick(Button(window_->mainPage(), "Import..."), Qt::LeftButton);
    QCOMPARE(StoredKey("desk", "Modules\\Bezier").value("Check1"), QString("hex:02,00,00,00"));
    QVERIFY(Displays()->findText("desk") >= 0);
    QCOMPARE(Displays()->currentText(), QString("desk"));
    // The imported display is loaded into the pages.
    QCOMPARE(Named<QComboBox>(window_->modulePage(kBezier), "Symmetry source")->currentText(),
             QString("Oscillate"));
  }

  // Every page photographed for a person to look at, into
  // $LUMOX_SCREENSHOT_DIR (the run at 200 %) or the build's folder; on each,
  // every control the keyboard reaches has a name.
  void photographsEveryPageWhoseControlsAllHaveNames() {
    const QString folder = qEnvironmentVariable("LUMOX_SCREENSHOT_DIR", LUMOX_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    for (int i = 0; i < window_->pages()->count(); ++i) {
      window_->pages()->setCurrentIndex(i);
      QTest::qWait(400);  // the preview has drawn
      const QString name = window_->pages()->tabText(i).toLower().replace(' ', '-');
      QVERIFY(window_->grab().save(folder + "/" + name + ".png"));
      for (QWidget* widget : window_->findChildren<QWidget*>()) {
        if (!widget->isVisible() || widget->focusPolicy() == Qt::NoFocus) continue;
        if (qobject_cast<QScrollBar*>(widget) || widget->parentWidget() == nullptr) continue;
        auto* button = qobject_cast<QAbstractButton*>(widget);
        const bool named = !widget->accessibleName().isEmpty() ||
                           (button != nullptr && !button->text().isEmpty()) ||
                           // the editor inside a named combo or spin box
                           qobject_cast<QComboBox*>(widget->parentWidget()) != nullptr ||
                           qobject_cast<QAbstractSpinBox*>(widget->parentWidget()) != nullptr;
        QVERIFY2(named, qPrintable(window_->pages()->tabText(i) + ": a " +
                                   widget->metaObject()->className() + " without a name"));
      }
    }
  }

  // A reserved name, an empty box and a damaged settings file: a message
  // at most, and the registry file as it was.
  void refusesWhatTheModelsRefuse() {
    ShowMain();
    const QString before = Registry();
    const size_t messages = dialogs_.messages.size();
    Type(Displays()->lineEdit(), "Testing Current Settings");
    QTest::mouseClick(Button(window_->mainPage(), "Save Selection"), Qt::LeftButton);
    QCOMPARE(dialogs_.messages.size(), messages + 1);
    // The refused name stays in the box to be corrected.
    QCOMPARE(Displays()->currentText(), QString("Testing Current Settings"));
    Displays()->lineEdit()->clear();
    QTest::mouseClick(Button(window_->mainPage(), "Delete Selection"), Qt::LeftButton);
    OfferFile(dir_, dialogs_, "junk.LMX", "not a settings file at all");
    QTest::mouseClick(Button(window_->mainPage(), "Import..."), Qt::LeftButton);
    QCOMPARE(dialogs_.messages.size(), messages + 2);
    QCOMPARE(Registry(), before);
  }

  void aTestRunStartsTheSaverAndLeavesNoTestDisplay() {
    ShowMain();
    system_.Clear();
    QTest::mouseClick(Button(window_->modulePage(kCyclic), "Test Cyclic Settings"), Qt::LeftButton);
    QCOMPARE(system_.launches(), std::vector<std::string>{"/opt/lumox/lumox /S"});
    QVERIFY(StoresDisplay("Testing Current Settings"));
    // Back in the window: the page's activation ends the test run.
    window_->pages()->setCurrentWidget(window_->modulePage(kCyclic));
    ShowMain();
    QVERIFY(!StoresDisplay("Testing Current Settings"));
    QVERIFY(Registry().contains("\"Active\"=\"desk\""));
  }

  void paletteAndCustomPagesReachTheStore() {
    PalettePageWidget* palette = window_->palettePage();
    window_->pages()->setCurrentWidget(palette);
    QCOMPARE(window_->HelpUrl().fragment(), QString("palette-settings"));
    QTest::mouseClick(Button(palette, "Green"), Qt::LeftButton);
    // Duration allows 0..300; the typed number goes to green alone.
    QLineEdit* duration = Named<QLineEdit>(palette, "Duration number");
    Type(duration, "500");
    QCOMPARE(duration->text(), QString("300"));
    // Ctrl with a click on "Custom": every channel takes the effect.
    QTest::mouseClick(Button<QRadioButton>(palette, "Custom"), Qt::LeftButton, Qt::ControlModifier);

    CustomPaletteWidget* editor = window_->customPalettePage();
    window_->pages()->setCurrentWidget(editor);
    QWidget* grid = Named<QWidget>(editor, "Custom palette colours");
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(grid, Qt::Key_Right, Qt::ShiftModifier);
    QVERIFY(Button(editor, "Gradient")->isEnabled());  // a range of three
    const QString pal = dir_.filePath("colours.PAL");
    dialogs_.answers.push_back({pal.toStdString()});
    QTest::mouseClick(Button(editor, "Export..."), Qt::LeftButton);
    QFile exported(pal);
    QVERIFY(exported.open(QIODevice::ReadOnly));
    const QByteArray before = exported.readAll();
    QCOMPARE(before.size(), 952);
    QCOMPARE(before.left(4), QByteArray("\x00\x42\x00\x42", 4));

    // A file that is not a palette file only beeps: the colours stay.
    OfferFile(dir_, dialogs_, "junk.PAL", "RIFF");
    const int beeps = system_.beeps();
    QTest::mouseClick(Button(editor, "Import..."), Qt::LeftButton);
    QCOMPARE(system_.beeps(), beeps + 1);
    dialogs_.answers.push_back({pal.toStdString()});
    QTest::mouseClick(Button(editor, "Export..."), Qt::LeftButton);
    exported.seek(0);
    QCOMPARE(exported.readAll(), before);

    ShowMain();
    Type(Displays()->lineEdit(), "Colours");
    QTest::mouseClick(Button(window_->mainPage(), "Save Selection"), Qt::LeftButton);
    const QMap<QString, QString> stored = StoredKey("Colours", "Palette");
    for (const char* effect : {"RedEffect", "GreenEffect", "BlueEffect"})
      QCOMPARE(stored.value(effect), QString("hex:06,00,00,00"));
    QCOMPARE(stored.value("GreenSeconds"), QString("hex:2c,01,00,00"));
    QVERIFY(stored.value("RedSeconds") != stored.value("GreenSeconds"));
    QVERIFY(stored.contains("Custom"));
  }

  void followsChangesByAnotherProgram() {
    ShowMain();
    QProcess lumox;
    lumox.start(LUMOX_SAVER, {"--delete", "[D] Star"});
    QVERIFY(lumox.waitForFinished(20000));
    QCOMPARE(lumox.exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(Displays()->findText("[D] Star"), -1, 5000);
    // Saving afterwards does not bring the deleted display back.
    Type(Displays()->lineEdit(), "After");
    QTest::mouseClick(Button(window_->mainPage(), "Save Selection"), Qt::LeftButton);
    QVERIFY(StoresDisplay("After"));
    QVERIFY(!StoresDisplay("[D] Star"));
  }

  void displayPageStoresTheMonitorChoice() {
    DisplayPageWidget* page = window_->displayPage();
    window_->pages()->setCurrentWidget(page);
    auto* primary = Named<QRadioButton>(page, "Primary monitor only");
    auto* each = Named<QRadioButton>(page, "Each monitor");
    auto* span = Named<QRadioButton>(page, "Span all monitors");
    QVERIFY(primary && each && span);
    QVERIFY(primary->isChecked() && !Registry().contains("\"Monitors\""));  // nothing stored
    // An arrow key moves to the next choice, a mnemonic to any, a click too.
    primary->setFocus();
    QTest::keyClick(primary, Qt::Key_Down);
    QVERIFY(each->isChecked() && Registry().contains("\"Monitors\"=dword:00000001\n"));
    QTest::keyClick(window_.get(), Qt::Key_S, Qt::AltModifier);
    QTRY_VERIFY(span->isChecked());  // a mnemonic clicks after a moment
    QVERIFY(Registry().contains("\"Monitors\"=dword:00000002\n"));
    // On the circle: a radio button takes clicks only there and on its text.
    QTest::mouseClick(primary, Qt::LeftButton, {}, QPoint(8, primary->height() / 2));
    QVERIFY(Registry().contains("\"Monitors\"=dword:00000000\n"));
    // Another program changes the choice: the page follows.
    QVERIFY(StoreMonitorChoice(MonitorChoice::kEach));
    QTRY_VERIFY_WITH_TIMEOUT(each->isChecked(), 5000);
  }

  void aDamagedRegistryFileIsReportedAndKeptAside() {
    QFile file(registryPath_);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\n");
    file.close();
    QMessageBox* report = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((report = window_->findChild<QMessageBox*>()) != nullptr, 5000);
    QVERIFY(report->text().contains("is damaged"));
    QCOMPARE(QDir(dir_.path()).entryList({"registry.reg.damaged-*"}).size(), 1);
    report->close();
  }

  // Last, as it closes the window.
  void changesTheFileCouldNotTakeAreTriedAgainAtClose() {
    DisplayPageWidget* page = window_->displayPage();
    window_->pages()->setCurrentWidget(page);
    auto* primary = Named<QRadioButton>(page, "Primary monitor only");
    auto* span = Named<QRadioButton>(page, "Span all monitors");
    QVERIFY(primary && span);
    QTest::mouseClick(span, Qt::LeftButton, {}, QPoint(8, span->height() / 2));
    QVERIFY(Registry().contains("\"Monitors\"=dword:00000002\n"));
    system_.Clear();
    {
      // The same file with another value no longer fits.
      const testing::FileSizeLimit limit(static_cast<rlim_t>(QFileInfo(registryPath_).size() - 1));
      QTest::mouseClick(primary, Qt::LeftButton, {}, QPoint(8, primary->height() / 2));
      system_.QueueAnswer(true);  // try again, in vain; then No
      window_->close();
    }
    QCOMPARE(system_.questions().size(), 2u);
    QVERIFY(system_.questions()[0].text.find("could not be written") != std::string::npos);
    QVERIFY(Registry().contains("\"Monitors\"=dword:00000002\n"));
    // The file can be written again: closing writes the change, asking nothing.
    system_.Clear();
    window_->show();
    window_->close();
    QVERIFY(system_.questions().empty());
    QVERIFY(Registry().contains("\"Monitors\"=dword:00000000\n"));
  }
};

}  // namespace lumox::qt

QTEST_MAIN(lumox::qt::SettingsWindowTest)
#include "settings_window_test.moc"
