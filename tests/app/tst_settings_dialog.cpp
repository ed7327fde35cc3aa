// The parent's settings dialog in the built language files: its texts,
// names for the screen reader and keyboard, what Save and Cancel keep, the
// chord on the menu that opens it, and the remembered sound switch and
// picture set at the next start.
#include "FormAvvio.h"
#include "FormMenu.h"
#include "Modulo1.h"
#include "OptionalPrinting.h"
#include "Process.h"
#include "ProgramFolderFixture.h"
#include "Screen.h"
#include "ScreenInput.h"
#include "Screens.h"
#include "Settings.h"
#include "SettingsDialog.h"
#include "SharedState.h"
#include "SwitchScan.h"
#include "modLanguageSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;
using screen_input::whenOpens;
using settings::Level;
using settings::Scan;
using settings::Settings;

namespace {

// The text of `key` in the [Settings] section of a built language file.
QString fileText(const QString& language, const QString& key) {
    return modLanguageSupport::MLSReadIni(QStringLiteral(MF_PROGRAM_DIR) + u'/' + language + u".lng", u"Settings"_s,
                                          u"Set("_s + key + u')')
        .value_or(QString());
}

}  // namespace

class TestSettingsDialog : public QObject {
    Q_OBJECT

    ProgramFolderFixture folder;
    QString configFile;

private Q_SLOTS:
    void initTestCase() {
        configFile = folder.path(u"metamorfine/metamorfine.conf"_s);
        QCOMPARE(settings::filePath(), configFile);
        QVERIFY(folder.copyShipped(u"English"_s) && folder.copyShipped(u"Italiano"_s));
    }

    // In each language every control says what it is from that language's
    // file, to the eye and to the screen reader, and is reached by Tab. What
    // the system's settings lock (here in English) is shown and cannot be
    // changed, the pace of the voice even when the voice is switched off and
    // on; unlocked (here in Italian), the same fields can be changed.
    void everyControlIsNamedAndTheLockedOnesStay() {
        QVERIFY(QDir().mkpath(folder.path(u"system/metamorfine"_s)));
        folder.writeFile(u"system/metamorfine/metamorfine.conf"_s,
                         u"[Speech]\nRate=40\n[Locked]\nKeys=Speech/Rate Window/Kiosk Language/CurrentLanguage\n"_s);
        for (const QString& language : {u"English"_s, u"Italiano"_s}) {
            const bool locked = language == u"English"_s;
            qputenv("XDG_CONFIG_DIRS", locked ? folder.path(u"system"_s).toLocal8Bit() : "/nonexistent");
            modLanguageSupport::MLSCurrentLanguage = language;
            app::SettingsDialog dialog(settings::read());
            QCOMPARE(dialog.windowTitle(), fileText(language, u"Title"_s));
            const auto field = [&](const QString& key) -> QWidget* {
                for (QWidget* widget : dialog.findChildren<QWidget*>())
                    if (widget->accessibleName() == fileText(language, key) && (widget->focusPolicy() & Qt::TabFocus) &&
                        widget->isVisibleTo(&dialog))
                        return widget;
                return nullptr;
            };
            for (const QString& key : {u"Scan"_s, u"Interval"_s, u"Speech"_s, u"Rate"_s, u"Level"_s, u"LevelOnMenu"_s,
                                       u"Language"_s, u"Praise"_s, u"RememberSound"_s, u"RememberSet"_s, u"Kiosk"_s,
                                       u"FullScreen"_s, u"Children"_s, u"AddChild"_s})
                QVERIFY2(field(key), qPrintable(language + u' ' + key));
            // How a kiosk ends is shown, and told with the kiosk's check box.
            const QString hint = fileText(language, u"KioskHint"_s);
            QVERIFY(!hint.isEmpty());
            QVERIFY(std::ranges::any_of(dialog.findChildren<QLabel*>(),
                                        [&hint](const QLabel* label) { return label->text() == hint; }));
            QCOMPARE(dialog.findChildren<QCheckBox*>().last()->accessibleDescription(), hint);
            for (const QString& key : {u"Rate"_s, u"Kiosk"_s, u"Language"_s})
                QVERIFY2(field(key)->isEnabled() == !locked, qPrintable(key));
            QVERIFY(field(u"Speech"_s)->isEnabled());
            auto* speech = qobject_cast<QCheckBox*>(field(u"Speech"_s));
            speech->setChecked(false);
            speech->setChecked(true);
            QCOMPARE(field(u"Rate"_s)->isEnabled(), !locked);
            QCOMPARE(dialog.chosen().speechRate, locked ? 40 : 0);
        }
    }

    // The dialog shows what it is given and gives back what is changed, by
    // keys alone: every value in both directions. The second round starts
    // where the first ended, the level growing, with a picture set and a sound
    // switch that the dialog does not show.
    void keysChangeEverySetting() {
        modLanguageSupport::MLSCurrentLanguage = u"English"_s;
        Settings shown;
        for (int round = 0; round < 2; ++round) {
            app::SettingsDialog dialog(shown);
            QCOMPARE(dialog.chosen(), shown);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            // The scan: one step down the list; the interval: half a second
            // up; the pace of the voice: one step down.
            QTest::keyClick(dialog.findChild<QComboBox*>(), Qt::Key_Down);
            QTest::keyClick(dialog.findChild<QDoubleSpinBox*>(), Qt::Key_Up);
            QTest::keyClick(dialog.findChild<QSpinBox*>(), Qt::Key_Down);
            // The level: one step up the list.
            QComboBox* level = dialog.findChildren<QComboBox*>().at(1);
            QCOMPARE(level->accessibleName(), fileText(u"English"_s, u"Level"_s));
            QTest::keyClick(level, Qt::Key_Up);
            for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
                QTest::keyClick(box, Qt::Key_Space);
            const Settings chosen = dialog.chosen();
            QCOMPARE(chosen.scan, shown.scan == Scan::Off ? Scan::Auto : Scan::Step);
            // The interval moves only while the scan moves by itself.
            QCOMPARE(chosen.scanIntervalMs, shown.scanIntervalMs + (chosen.scan == Scan::Auto ? 500 : 0));
            QCOMPARE(chosen.speech, !shown.speech);
            QCOMPARE(chosen.speechRate, shown.speechRate - (shown.speech ? 10 : 0));
            QCOMPARE(chosen.praise, !shown.praise);
            QCOMPARE(chosen.rememberSound, !shown.rememberSound);
            QCOMPARE(chosen.rememberPictureSet, !shown.rememberPictureSet);
            QCOMPARE(chosen.kiosk, !shown.kiosk);
            QCOMPARE(chosen.fullScreen, !shown.fullScreen);
            QCOMPARE(chosen.level, shown.level == Level::Two ? Level::One : Level::Three);
            QCOMPARE(chosen.levelOnMenu, !shown.levelOnMenu);
            QCOMPARE(chosen.pictureSet, shown.pictureSet);
            QCOMPARE(chosen.sound, shown.sound);
            shown = chosen;
            shown.level = Level::Grows;
            shown.pictureSet = 4;
            shown.sound = false;
        }
    }

    // Ctrl+Shift+P on the menu opens the dialog (not in a kiosk: tst_kiosk).
    // Cancel leaves everything as it was; a failed Save is told; Save writes
    // the file, and this run
    // speaks, praises, scans and takes the level and the language (in a kiosk
    // chosen only here) as chosen at once, on the menu shown behind the
    // dialog. The remembered sound switch and picture set hold at the next
    // start only when asked.
    void theMenusChordOpensItAndSaveKeepsIt() {
        media::setEndProgramHook([] {});
        settings::current() = {};
        folder.storeLanguage(u"English"_s);
        QVERIFY(Modulo1::Main());
        app::screens::FormAvvio().control(app::form_avvio::BottoneAvvio).click();
        forms::Screen& menu = app::screens::FormMenu();
        QVERIFY(menu.isLoaded());
        // Every check box the other way, scanning by itself, the level growing, Italian.
        Settings chosen;
        const auto changeEverything = [&](QDialogButtonBox::StandardButton button) {
            whenOpens<app::SettingsDialog>([&chosen, button](app::SettingsDialog& dialog) {
                for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
                    box->click();
                QTest::keyClick(dialog.findChild<QComboBox*>(), Qt::Key_Down);
                QComboBox* level = dialog.findChildren<QComboBox*>().at(1);
                level->setCurrentIndex(level->findData(int(Level::Grows)));
                auto* language = dialog.findChildren<QComboBox*>().last();
                QCOMPARE(language->accessibleName(), fileText(u"English"_s, u"Language"_s));
                QCOMPARE(language->currentText(), u"English"_s);
                language->setCurrentText(u"Italiano"_s);
                QCOMPARE(dialog.language(), u"Italiano"_s);
                chosen = dialog.chosen();
                dialog.findChild<QDialogButtonBox*>()->button(button)->click();
            });
            QTest::keyClick(menu.window(), Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
        };
        changeEverything(QDialogButtonBox::Cancel);
        QVERIFY(!QFile::exists(configFile));
        QCOMPARE(settings::current(), Settings{});
        QCOMPARE(menu.scan().mode(), Scan::Off);
        QCOMPARE(modLanguageSupport::MLSCurrentLanguage, u"English"_s);
        QCOMPARE(modLanguageSupport::MLSStoredLanguage(), u"English"_s);
        // A settings file that cannot be written (a folder stands in its
        // place, for root too): Save says so, and this run goes on as it was.
        QVERIFY(QDir().mkpath(configFile));
        changeEverything(QDialogButtonBox::Save);
        QCOMPARE(folder.boxes.size(), 1);
        QCOMPARE(folder.boxes.first().icon, forms::MsgIcon::Critical);
        QCOMPARE(settings::current(), Settings{});
        QVERIFY(QDir().rmdir(configFile));
        changeEverything(QDialogButtonBox::Save);
        Settings saved = settings::read(configFile);
        QCOMPARE(saved, chosen);
        QCOMPARE(menu.scan().mode(), Scan::Auto);
        QCOMPARE(modLanguageSupport::MLSCurrentLanguage, u"Italiano"_s);
        QCOMPARE(modLanguageSupport::MLSStoredLanguage(), u"Italiano"_s);
        QCOMPARE(menu.control(u"Command7"_s).text(forms::TextProperty::Caption),
                 modLanguageSupport::MLSReadIni(QStringLiteral(MF_PROGRAM_DIR) + u"/Italiano.lng"_s, u"FormMenu"_s,
                                                u"Command7.Caption"_s));
        // Kiosk and full screen are start-up choices.
        chosen.kiosk = false;
        chosen.fullScreen = true;
        QCOMPARE(settings::current(), chosen);

        // Remembered: the child's choices reach the file and the next start.
        settings::current() = saved;
        menu.control(app::form_menu::Option1, 1).click();
        menu.control(app::form_menu::Check1).click();
        saved = settings::read(configFile);
        QCOMPARE(saved.pictureSet, 2);
        QCOMPARE(saved.sound, false);
        ProgramFolderFixture::unloadScreens();
        settings::current() = saved;
        // Not remembered: the designed start whatever the file holds.
        for (const bool remember : {true, false}) {
            settings::current().rememberSound = remember;
            settings::current().rememberPictureSet = remember;
            QVERIFY(Modulo1::Main());
            QCOMPARE(Modulo1::SerieFigure, qint16(remember ? 2 : 6));
            QCOMPARE(Modulo1::SuoniAttivati, !remember);
        }
        ProgramFolderFixture::unloadScreens();
    }
};

QTEST_MAIN(TestSettingsDialog)
#include "tst_settings_dialog.moc"
