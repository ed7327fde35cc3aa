// Kiosk mode: no key, button or window-system request a child can make ends
// the program or shows the desktop (the parent's chord that does is played
// on a real keyboard by e2e_program_wm). The same requests outside kiosk
// mode do what they always did.
#include "ExerciseCatalogue.h"
#include "ExerciseLayout.h"
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

class TestKiosk : public QObject {
    Q_OBJECT

    ProgramFolderFixture folder;
    int ends = 0;

    static Screen& menu() { return app::screens::FormMenu(); }

    // The window system asks to close the window, as Alt+F4 under a window
    // manager does.
    static void askToClose(Screen& screen) {
        screen.window()->windowHandle()->close();
        QCoreApplication::processEvents();
    }

    // Every way out a child has on the menu and on an exercise; whether each
    // was refused (true) or taken (false).
    void tryEveryWayOut(bool expectRefused) {
        ends = 0;
        folder.boxes.clear();
        folder.answer = MsgAnswer::Yes;
        QCOMPARE(menu().control(u"BottoneEsci"_s).widget()->isVisible(), !expectRefused);
        // Escape, then Enter on whatever has the focus.
        QTest::keyClick(menu().window(), Qt::Key_Escape);
        QCOMPARE(folder.boxes.size(), expectRefused ? 0 : 1);
        QCOMPARE(ends, expectRefused ? 0 : 1);
        // Esci, pressed however it is reached.
        menu().control(u"BottoneEsci"_s).click();
        QCOMPARE(ends, expectRefused ? 0 : 2);
        // The parent's settings chord opens nothing in a kiosk.
        bool opened = false;
        QTimer::singleShot(0, [&opened] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                opened = true;
                dialog->close();
            }
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
        askToClose(*exercise);
        // Outside a kiosk closing an exercise is leaving it for the menu, asked
        // as its own command asks.
        QCOMPARE(exercise->isLoaded(), expectRefused);
        QCOMPARE(folder.boxes.size(), expectRefused ? 0 : 1);
        if (expectRefused)
            exercise->control(ex::mnuEsci).click();
        QVERIFY(menu().isLoaded());
        askToClose(menu());
        QCOMPARE(menu().isLoaded(), expectRefused);
        if (!expectRefused)
            menu().Show();
    }

private Q_SLOTS:
    void initTestCase() {
        media::setEndProgramHook([this] { ++ends; });
        QGuiApplication::setQuitOnLastWindowClosed(false);
        settings::current() = {};
        for (const QString& language : {u"English"_s, u"Deutsch"_s})
            folder.writeFile(language + u".lng"_s, u"[FormMenu]\r\nmnuLanguages.Caption=\""_s + language + u"\"\r\n"_s);
        folder.storeLanguage(u"English"_s);
        QVERIFY(Modulo1::Main());
        app::screens::FormAvvio().control(u"BottoneAvvio"_s).click();
        QVERIFY(menu().isLoaded());
    }
    void cleanupTestCase() { ProgramFolderFixture::unloadScreens(); }

    // Outside a kiosk every way out works; in a kiosk none does, from the
    // next screen loaded on.
    void aKioskCannotBeLeftByAChild() {
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
    }

    // A kiosk's language is the parent's, chosen in the settings: the menu's
    // entries choose nothing and change nothing kept.
    void aKioskKeepsItsLanguage() {
        QVERIFY(app::KioskMode());
        QVERIFY(menu().isLoaded());
        QCOMPARE(modLanguageSupport::MLSCurrentLanguage, u"English"_s);
        for (const int index : {0, 1}) {
            forms::Control& entry = menu().control(u"mnuLanguage"_s, index);
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
        using namespace std::chrono;
        const app::NewChildWatch watch(1s);
        menu().control(exercises::exercise_catalogue::exercise(1).menuButton).click();
        Screen& exercise = *Screen::loadedScreens().front();
        const auto answerWrong = [&exercise] {
            exercise.control(ex::Picture1, Modulo1::IndiceModello).click();  // the model's colour is kept: wrong
            QCOMPARE(Modulo1::ContaErrati(), qint16(1));
            QVERIFY(exercise.control(ex::ComandoIconaNo).visible());
        };
        answerWrong();
        QElapsedTimer typing;
        typing.start();
        while (typing.elapsed() < 2500) {
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
        // A key short of the chord, held.
        for (const Qt::KeyboardModifiers partial :
             {Qt::ControlModifier | Qt::AltModifier, Qt::ControlModifier | Qt::ShiftModifier,
              Qt::AltModifier | Qt::ShiftModifier}) {
            send(QEvent::KeyPress, Qt::Key_Q, partial);
            QTest::qWait(1800);
            send(QEvent::KeyRelease, Qt::Key_Q, partial);
        }
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
        QVERIFY(menu().isLoaded());
    }
};

QTEST_MAIN(TestKiosk)
#include "tst_kiosk.moc"
