// The ways between the program's screens and out of it: start-up, the
// menu's exercises and the way back, the exit question, the about box; and
// kiosk mode, in which no key, button or window-system request a child can
// make ends the program or shows the desktop (the parent's chord that does
// is played on a real keyboard by e2e_program_wm). The same requests outside
// kiosk mode do what they always did.
#include "Colour.h"
#include "ExerciseCatalogue.h"
#include "ExerciseLayout.h"
#include "FormAvvio.h"
#include "FormMenu.h"
#include "Kiosk.h"
#include "Modulo1.h"
#include "OptionalPrinting.h"
#include "Process.h"
#include "ProgramFolderFixture.h"
#include "Screen.h"
#include "Screens.h"
#include "Settings.h"
#include "SharedState.h"
#include "modLanguageSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;
namespace ex = exercises::exercise_layout;
using forms::MsgAnswer;
using forms::Screen;

namespace {

QStringList loadedNames() {
    QStringList names;
    for (const Screen* screen : Screen::loadedScreens())
        names << screen->name();
    return names;
}

template <typename Name>
QString caption(const Screen& screen, const Name& name, int index = -1) {
    return screen.control(name, index).text(forms::TextProperty::Caption).value_or(QString());
}

}  // namespace

class TestKiosk : public QObject {
    Q_OBJECT

    ProgramFolderFixture folder;
    int ends = 0;

    static Screen& menu() { return app::screens::FormMenu(); }

    // Every way out a child has on the menu and on an exercise; whether each
    // was refused (true) or taken (false).
    void tryEveryWayOut(bool expectRefused) {
        ends = 0;
        folder.boxes.clear();
        QCOMPARE(menu().control(app::form_menu::BottoneEsci).widget()->isVisible(), !expectRefused);
        // Escape asks, and No keeps the menu; Esci, pressed however it is reached, asks too and Yes ends.
        folder.answer = MsgAnswer::No;
        QTest::keyClick(menu().window(), Qt::Key_Escape);
        QCOMPARE(folder.boxes.size(), expectRefused ? 0 : 1);
        QCOMPARE(folder.boxes.value(0).message, expectRefused ? QString() : u"Quit?"_s);
        QCOMPARE(folder.boxes.value(0).buttons, expectRefused ? forms::MsgButtons{} : forms::MsgButtons::YesNo);
        QCOMPARE(ends, 0);
        folder.answer = MsgAnswer::Yes;
        menu().control(app::form_menu::BottoneEsci).click();
        QCOMPARE(ends, expectRefused ? 0 : 1);
        // The parent's settings chord opens nothing in a kiosk.
        bool opened = false;
        QTimer::singleShot(0, [&opened] {
            QWidget* dialog = QApplication::activeModalWidget();
            opened = dialog && dialog->close();
        });
        QTest::keyClick(menu().window(), Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
        QCoreApplication::processEvents();
        QCOMPARE(opened, !expectRefused);
        // F11 keeps the full screen in a kiosk, and gives the window otherwise.
        QTRY_VERIFY(menu().window()->isFullScreen());
        QTest::keyClick(menu().window(), Qt::Key_F11);
        QTRY_COMPARE(menu().window()->isFullScreen(), expectRefused);
        if (!expectRefused)
            QTest::keyClick(menu().window(), Qt::Key_F11);
        QTRY_VERIFY(menu().window()->isFullScreen());
        // Alt+F4 on an exercise, then on the menu.
        menu().control(exercises::exercise_catalogue::exercise(1).menuButton).click();
        Screen* exercise = Screen::loadedScreens().front();
        folder.boxes.clear();
        exercise->window()->windowHandle()->close();  // as Alt+F4 under a window manager
        QCoreApplication::processEvents();
        // Outside a kiosk closing an exercise is leaving it for the menu, asked
        // as its own command asks.
        QCOMPARE(exercise->isLoaded(), expectRefused);
        QCOMPARE(folder.boxes.size(), expectRefused ? 0 : 1);
        if (expectRefused)
            exercise->control(ex::mnuEsci).click();
        QVERIFY(menu().isLoaded());
        menu().window()->windowHandle()->close();
        QCoreApplication::processEvents();
        QCOMPARE(menu().isLoaded(), expectRefused);
        if (!expectRefused)
            menu().Show();
    }

private Q_SLOTS:
    void initTestCase() {
        media::setEndProgramHook([this] { ++ends; });
        QGuiApplication::setQuitOnLastWindowClosed(false);
        settings::current() = {};
        folder.writeFile(u"English.lng"_s,
                         u"[FormAvvio]\r\nLabel2(1).Caption=\"Maths exercises\"\r\n"
                         "[FormMenu]\r\nmnuLanguages.Caption=\"English\"\r\n"
                         "[Strings]\r\n0003=\"Quit?\"\r\n9993=\"Version %1\"\r\n"_s);
        folder.writeFile(u"Deutsch.lng"_s,
                         u"[FormMenu]\r\nmnuLanguages.Caption=\"Deutsch\"\r\nCommand2.Caption=\"Gleich\"\r\n"_s);
        folder.storeLanguage(u"English"_s);
    }
    void cleanupTestCase() { ProgramFolderFixture::unloadScreens(); }

    // The designed picture set and sound switch at start: tst_settings_dialog.
    void startUpShowsTheMenuOrTheExerciseAskedForAndEveryExerciseLeadsBack() {
        QVERIFY(Modulo1::Main());
        QVERIFY(folder.boxes.isEmpty());
        QCOMPARE(loadedNames(), QStringList{u"FormAvvio"_s});
        QCOMPARE(caption(app::screens::FormAvvio(), app::form_avvio::Label2, 1), u"Maths exercises"_s);
        // The version the program is built as, where the design had a date.
        QCOMPARE(caption(app::screens::FormAvvio(), app::form_avvio::Label2, 2),
                 u"Version "_s + QStringLiteral(MF_VERSION));

        app::screens::FormAvvio().control(app::form_avvio::BottoneAvvio).click();
        QCOMPARE(loadedNames(), QStringList{u"FormMenu"_s});
        QVERIFY(menu().control(app::form_menu::Option1, 5).checked());  // the sixth set
        QVERIFY(menu().control(app::form_menu::Check1).checked());
        const QWidget* soundSwitch = menu().control(app::form_menu::Check1).widget();
        QVERIFY(soundSwitch->autoFillBackground());
        QCOMPARE(soundSwitch->palette().color(QPalette::Window).rgb(), forms::rgbFromBgr(menu().backColor()));

        // Every exercise reaches the shell for the about box and the way back;
        // the menu's picture set and sound switch survive each visit.
        menu().control(app::form_menu::Option1, 2).click();
        menu().control(app::form_menu::Check1).click();
        // Each button opens the exercise its caption names, under that name.
        folder.answer = MsgAnswer::Yes;
        const QStringList buttons = u"Command7 Command1 Command2 Command3 Command4 Command5 Command6"_s.split(u' ');
        for (const QString& button : buttons) {
            const QString name = caption(menu(), button).trimmed();
            menu().control(button).click();
            QCOMPARE(loadedNames(), QStringList{u"FormEs"_s + QString::number(buttons.indexOf(button) + 1)});
            Screen* exercise = Screen::loadedScreens().front();
            QCOMPARE(exercise->window()->windowTitle(), QCoreApplication::applicationName() % u" \u2014 "_s % name);
            folder.boxes.clear();
            exercise->control(ex::MenuInformazioni).click();
            QCOMPARE(folder.boxes.size(), 1);
            exercise->control(ex::mnuEsci).click();
            QCOMPARE(loadedNames(), QStringList{u"FormMenu"_s});
        }
        QVERIFY(menu().control(app::form_menu::Option1, 2).checked());
        QCOMPARE(Modulo1::SerieFigure, qint16(3));
        QVERIFY(!menu().control(app::form_menu::Check1).checked());
        QVERIFY(!Modulo1::SuoniAttivati);
        QCOMPARE(ends, 0);

        // --exercise and --language: the start screen gives way to the
        // exercise at once, in the language asked for this run alone; leaving
        // it brings the menu.
        ProgramFolderFixture::unloadScreens();
        Modulo1::RunStart() = {.language = u"Deutsch"_s, .exercise = 3};
        QVERIFY(Modulo1::Main());
        QTRY_COMPARE(loadedNames(), QStringList{u"FormEs3"_s});
        Screen* exercise = Screen::loadedScreens().front();
        QCOMPARE(exercise->window()->windowTitle(), QCoreApplication::applicationName() % u" \u2014 Gleich"_s);
        QCOMPARE(modLanguageSupport::MLSStoredLanguage(), u"English"_s);
        QCOMPARE(Modulo1::RunStart().exercise, 0);
        folder.answer = MsgAnswer::Yes;
        exercise->control(ex::mnuEsci).click();
        QCOMPARE(loadedNames(), QStringList{u"FormMenu"_s});
        Modulo1::RunStart() = {};
        modLanguageSupport::MLSCurrentLanguage = u"English"_s;
    }

    // Outside a kiosk every way out works; in a kiosk none does, from the
    // next screen loaded on.
    void aKioskCannotBeLeftByAChildNorChangeItsLanguage() {
        tryEveryWayOut(false);
        settings::current().kiosk = true;
        app::StartKiosk();
        // The menu takes the kiosk's keys when it is loaded again.
        menu().control(exercises::exercise_catalogue::exercise(2).menuButton).click();
        Screen::loadedScreens().front()->control(ex::mnuEsci).click();
        tryEveryWayOut(true);
        QVERIFY(menu().window()->isVisible());
        // F10 still takes the keys to the menu bar and back, as Alt does.
        QWidget* focused = menu().window()->focusWidget();
        QTest::keyClick(focused, Qt::Key_F10);
        QVERIFY(qobject_cast<QMenuBar*>(menu().window()->focusWidget()));
        QTest::keyClick(menu().window()->focusWidget(), Qt::Key_F10);
        QCOMPARE(menu().window()->focusWidget(), focused);

        // A kiosk's language is the parent's, chosen in the settings: the
        // menu's entries choose nothing and change nothing kept.
        QVERIFY(app::KioskMode());
        for (const int index : {0, 1}) {
            forms::Control& entry = menu().control(app::form_menu::mnuLanguage, index);
            entry.action()->trigger();
            QCOMPARE(modLanguageSupport::MLSCurrentLanguage, u"English"_s);
            QCOMPARE(modLanguageSupport::MLSStoredLanguage(), u"English"_s);
            QCOMPARE(entry.checked(), entry.text(forms::TextProperty::Caption) == u"English"_s);
        }
    }

    // A few minutes without a key, a click or a touch mean a new child: the
    // counts start again from zero with no face. Input meanwhile keeps them,
    // and so does the start screen reached.
    void aNewChildStartsFromZero() {
        const app::NewChildWatch watch(1s);
        menu().control(exercises::exercise_catalogue::exercise(1).menuButton).click();
        Screen& exercise = *Screen::loadedScreens().front();
        const auto answerWrong = [&exercise] {
            exercise.control(ex::Picture1, Modulo1::IndiceModello).click();  // the model's colour is kept: wrong
            QCOMPARE(Modulo1::ContaErrati(), qint16(1));
            QVERIFY(exercise.control(ex::ComandoIconaNo).visible());
        };
        answerWrong();
        for (int key = 0; key < 25; ++key) {  // for longer than the watch's time
            QTest::keyClick(exercise.window(), Qt::Key_F1);
            QTest::qWait(100);
        }
        QCOMPARE(Modulo1::ContaErrati(), qint16(1));
        QTRY_COMPARE(Modulo1::ContaErrati(), qint16(0));
        QCOMPARE(exercise.control(ex::EtichettaErrati).text(forms::TextProperty::Caption), u"0"_s);
        QVERIFY(!exercise.control(ex::ComandoIconaNo).visible());
        QVERIFY(!exercise.control(ex::ComandoIconaSi).visible());
        answerWrong();
        app::screens::FormAvvio().Show();
        QCOMPARE(Modulo1::ContaErrati(), qint16(0));
        QVERIFY(!exercise.control(ex::ComandoIconaNo).visible());
        app::screens::FormAvvio().Unload();
        folder.answer = MsgAnswer::Yes;
        exercise.control(ex::mnuEsci).click();
        QVERIFY(menu().isLoaded());
    }

    // Ctrl+Alt+Shift+Q ends the program only when held for the whole time;
    // let go early, or without one of its keys, it does nothing.
    void theParentsChordHeldEndsTheProgram() {
        ends = 0;
        // Times far apart, so that a busy machine's late timers decide nothing.
        const app::KioskGuard guard(1500ms);
        QWidget* window = menu().window();
        const Qt::KeyboardModifiers chord = Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier;
        // One key event alone, as the window system sends it (QTest would
        // press and release the modifiers around it).
        const auto send = [window](QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers modifiers) {
            QKeyEvent event(type, key, modifiers);
            QApplication::sendEvent(window, &event);
        };
        // Q let go too early, the modifiers still down.
        send(QEvent::KeyPress, Qt::Key_Q, chord);
        QTest::qWait(50);
        send(QEvent::KeyRelease, Qt::Key_Q, chord);
        QTest::qWait(1800);
        QCOMPARE(ends, 0);
        // A modifier let go too early, Q still down.
        send(QEvent::KeyPress, Qt::Key_Q, chord);
        QTest::qWait(300);
        send(QEvent::KeyRelease, Qt::Key_Alt, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::qWait(1500);
        QCOMPARE(ends, 0);
        send(QEvent::KeyRelease, Qt::Key_Q, Qt::ControlModifier | Qt::ShiftModifier);
        // A key short of the chord, held (the whole chord short of a key ends nothing: below).
        send(QEvent::KeyPress, Qt::Key_Q, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::qWait(1800);
        send(QEvent::KeyRelease, Qt::Key_Q, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(ends, 0);
        // Held: the end comes once the time is up, not before, also while the
        // key repeats as releases and presses not marked as repeats. A stall
        // longer than the repeat gap counts as letting go, and the hold starts
        // again: the wait allows for a few.
        QElapsedTimer held;
        held.start();
        send(QEvent::KeyPress, Qt::Key_Q, chord);
        while (ends == 0 && held.elapsed() < 15000) {
            QTest::qWait(30);
            send(QEvent::KeyRelease, Qt::Key_Q, chord);
            send(QEvent::KeyPress, Qt::Key_Q, chord);
        }
        QCOMPARE(ends, 1);
        QVERIFY(held.elapsed() >= 1400);  // a coarse timer may fire 5 % early
        send(QEvent::KeyRelease, Qt::Key_Q, chord);
    }

    // The credits with the version in the language's words, then the
    // language's lines 9996 to 9999 that are not empty.
    void aboutBoxShowsTheCreditsAndTheLanguageLines() {
        const auto about = [this](const QString& lines) {
            folder.writeFile(u"English.lng"_s,
                             u"[Strings]\r\n9993=\"Versione %1\"\r\n9994=\"fatto da noi\"\r\n"
                             "9995=\"niente e-mail\"\r\n"_s +
                                 lines);
            folder.boxes.clear();
            Modulo1::MostraInformazioni();
            return folder.boxes.size() == 1 ? folder.boxes.first().message : u"<no single box>"_s;
        };
        const QString credits = u"Metamorfine (Versione "_s + QStringLiteral(MF_VERSION) +
                                u")\r\n-----------------------\r\nfatto da noi\r\nniente e-mail"_s;
        QCOMPARE(about(u"9996=\"\"\r\n9997=\"\"\r\n9998=\"\"\r\n9999=\"\"\r\n"_s), credits);
        // In their order, whatever the file's; a line of spaces is not empty.
        QCOMPARE(about(u"9999=\"d\"\r\n9997=\"   \"\r\n9996=\"a\"\r\n"_s),
                 credits + u"\r\n-----------------------\r\na\r\n   \r\nd\r\n"_s);
    }
};

QTEST_MAIN(TestKiosk)
#include "tst_kiosk.moc"
