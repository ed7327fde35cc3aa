// A child with the keyboard alone, and a screen reader: focus, keys, the
// names that assistive technology hears and the announcement of answers.
#include "ExerciseLayout.h"
#include "FormMenu.h"
#include "Modulo1.h"
#include "ProgramFolderFixture.h"
#include "ScreenInput.h"
#include "Screens.h"
#include "Settings.h"
#include "SharedState.h"
#include "modLanguageSupport.h"

#include <QMenuBar>
#include <QScopeGuard>
#include <QSignalSpy>
#include <array>

using namespace Qt::Literals::StringLiterals;
namespace ex = exercises::exercise_layout;
using forms::Screen;
using namespace screen_input;

class TestKeyboardAccess : public QObject {
    Q_OBJECT

    ProgramFolderFixture folder;

    // From the first control of `chain` ("Command7 Down Command3 Right ..."),
    // each key takes the focus to the control named after it.
    static void expectMoves(const Screen& screen, const QString& chain) {
        const QStringList steps = chain.split(u' ');
        byFullName(screen, steps.first())->setFocus();
        for (qsizetype i = 1; i + 1 < steps.size(); i += 2) {
            press(screen, QKeySequence(steps[i])[0].key());
            QVERIFY2(focused(screen) == byFullName(screen, steps[i + 1]),
                     qPrintable(steps.first(i + 2).join(u' ') + u", not "_s + focused(screen)->objectName()));
        }
    }

private Q_SLOTS:
    void initTestCase() {
        state::shell().showMenu = [] { app::screens::FormMenu().Show(); };
        folder.useShipped(u"English"_s);
    }
    void init() { Modulo1::SerieFigure = 1; }
    void cleanup() { ProgramFolderFixture::unloadScreens(); }

    // The arrows follow the two rows of four; Shift+Tab from the first goes
    // round to the way home, the last in the order, then the speaker button
    // ("avanti" is disabled), then the last picture; Tab goes back the same
    // way. An answer is announced; a right one takes the focus straight to
    // Next and Next back to the first picture, not through the controls
    // disabled on the way (a flood a screen reader prunes). A key held down
    // acts once, but a held arrow moves on.
    void anExerciseIsPlayedWithKeysAlone() {
        Screen& exercise = shown(app::screens::FormEs3());  // the right picture is the model itself
        // As X sends a held key: a release and a press of the same moment,
        // which Qt marks as a repeat only when it has both at hand.
        const auto hold = [&exercise](Qt::Key key, int repeats) {
            for (int i = 0; i <= repeats; ++i) {
                for (const QEvent::Type type : {QEvent::KeyRelease, QEvent::KeyPress}) {
                    if (i == 0 && type == QEvent::KeyRelease)
                        continue;
                    QKeyEvent event(type, key, Qt::NoModifier, QString(), i % 2 == 0 && i > 0);
                    event.setTimestamp(quint64(i));
                    QApplication::sendEvent(focused(exercise), &event);
                }
            }
        };
        QCOMPARE(focused(exercise), widget(exercise, ex::Picture1, 0));
        expectMoves(exercise,
                    u"Picture1(0) Right Picture1(1) Down Picture1(5) Left Picture1(4) Up Picture1(0) "
                    "Backtab HomeButton Backtab HearAgain Backtab Picture1(7) "
                    "Tab HearAgain Tab HomeButton Tab Picture1(0)"_s);
        widget(exercise, ex::Picture1, Modulo1::IndiceModello)->setFocus();
        QSignalSpy focusMoves(qApp, &QApplication::focusChanged);
        hold(Qt::Key_Return, 3);  // held, it answers once and does not go on to the next puzzle
        QCOMPARE(announcement(exercise), u"right, Right: 1"_s);
        QCOMPARE(focused(exercise), widget(exercise, ex::BottoneAvanti));
        QCOMPARE(focusMoves.size(), 1);
        press(exercise, Qt::Key_Return);
        QCOMPARE(focused(exercise), widget(exercise, ex::Picture1, 0));
        QCOMPARE(focusMoves.size(), 2);
        // Every picture tells the new model after its own name.
        const QString model =
            u"picture in the box: "_s +
            widget(exercise, ex::Picture1, Modulo1::IndiceModello)->accessibleName().section(u": "_s, 1);
        QCOMPARE(widget(exercise, ex::Picture2)->accessibleName(), model);
        QCOMPARE(widget(exercise, ex::Picture1, 0)->accessibleDescription(), model);
        hold(Qt::Key_Right, 2);  // a held arrow moves on
        QCOMPARE(focused(exercise), widget(exercise, ex::Picture1, 3));
    }

    // The menu's arrows go down its columns and into the picture sets and the
    // levels and out again, never round the window: Up from the top of a
    // column stays there, the sets' right column leads on to the sound switch,
    // the levels stop at the window's edge and lead up to the exercises and
    // down to the sound switch. Tab reaches a group at its chosen member,
    // Enter chooses; levels hidden by the parent are passed by.
    void theMenusArrowsLeadIntoEachGroupAndOutAgain() {
        const auto restore = qScopeGuard([] { settings::current() = {}; });
        Modulo1::SerieFigure = 4;
        Screen& menu = shown(app::screens::FormMenu());
        // Set 4 is chosen until Enter chooses set 6.
        for (const QString& chain :
             {u"Check1 Tab Option1(3)"_s, u"Command6 Tab LevelOption(1)"_s,
              u"Command7 Up Command7 Down Command3 Down Command1 Down Command2"_s, u"Command5 Up Command5"_s,
              u"Command4 Down Option1(0) Down Option1(1) Right Option1(4) Down Option1(5) Down Option1(5) "
              "Return Option1(5)"_s,
              u"Option1(4) Up Option1(3) Up Command4"_s, u"Option1(3) Right Check1 Left Option1(3)"_s,
              u"LevelOption(1) Right LevelOption(2) Right LevelOption(2) Left LevelOption(1) "
              "Left LevelOption(0) Up Command6"_s,
              u"LevelOption(2) Down Check1"_s})
            expectMoves(menu, chain);
        QCOMPARE(Modulo1::SerieFigure, qint16(6));
        menu.Unload();
        settings::current().levelOnMenu = false;
        menu.Show();
        QVERIFY(!widget(menu, app::form_menu::LevelOption, 0)->isVisibleTo(menu.window()));
        expectMoves(menu, u"Command6 Down Check1"_s);
    }

    // A stray Escape, then Enter, asks to leave and keeps the exercise and its
    // counts, as often as it happens (Yes leaves: tst_switch_scan).
    void strayEscapeThenEnterKeepsTheGame() {
        Screen& exercise = shown(app::screens::FormEs1());
        widget(exercise, ex::Picture1, Modulo1::IndiceModello ^ 1)->setFocus();
        press(exercise, Qt::Key_Return);
        QWidget* next = focused(exercise);
        forms::setMessageBoxResponder({});  // the real question
        for (int round = 0; round < 2; ++round) {
            whenOpens([](QMessageBox&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); });
            press(exercise, Qt::Key_Escape);
            QVERIFY(exercise.isLoaded());
            QCOMPARE(Modulo1::ContaEsatti(), 1);
            QCOMPARE(widget(exercise, ex::EtichettaEsatti)->property("text").toString().trimmed(), u"1"_s);
            QCOMPARE(focused(exercise), next);
        }
        folder.answerBoxes();
    }

    // Alt or F10 takes the keys to the menu bar, with the ring on its entry;
    // the arrows move, Enter runs an entry; Escape, or the same key again,
    // gives the keys back to the control that had them, each time, without
    // asking to leave.
    void theMenuBarIsReachedByAltOrF10AndLeftAgain() {
        for (const Qt::Key menuKey : {Qt::Key_Alt, Qt::Key_F10}) {
            ProgramFolderFixture::unloadScreens();
            Screen& exercise = shown(app::screens::FormEs1());
            QWidget* picture = widget(exercise, ex::Picture1, Modulo1::IndiceModello);  // a wrong answer
            picture->setFocus();
            auto* bar = exercise.window()->findChild<QMenuBar*>();
            const qsizetype asked = folder.boxes.size();
            for (int round = 0; round < 2; ++round) {
                for (const auto& [key, entry] : {std::pair(menuKey, 0), std::pair(Qt::Key_Right, 1)}) {
                    press(exercise, key);
                    QCOMPARE(focused(exercise), bar);
                    QCOMPARE(bar->activeAction(), bar->actions().value(entry));
                    const QRect area = bar->actionGeometry(bar->activeAction());
                    QVERIFY(ringAround(exercise.window(), area.translated(bar->mapTo(exercise.window(), QPoint()))));
                }
                press(exercise, Qt::Key_Escape);
                QCOMPARE(focused(exercise), picture);
                QVERIFY(ringAround(picture));
            }
            // A click that moves no focus hides the ring; any key shows it again.
            QTest::mouseClick(exercise.client(), Qt::LeftButton);
            QCOMPARE(focused(exercise), picture);
            QVERIFY(!ringAround(picture));
            QTest::keyClick(picture, Qt::Key_Shift);
            QVERIFY(ringAround(picture));
            // The same key again leaves the menu bar as well.
            press(exercise, menuKey);
            press(exercise, menuKey);
            QCOMPARE(focused(exercise), picture);
            QCOMPARE(folder.boxes.size(), asked);
            QVERIFY(exercise.isLoaded());
            // Enter on an entry runs it: the first resets the counts.
            picture->setFocus();
            press(exercise, Qt::Key_Return);
            QCOMPARE(Modulo1::ContaErrati(), 1);
            press(exercise, menuKey);
            press(exercise, Qt::Key_Return);
            QCOMPARE(Modulo1::ContaErrati(), 0);
        }
    }

    // Every control is named in the language, or by what the screen shows; never by an internal name.
    void namesAndDescriptionsSpeakTheLanguage() {
        for (const auto& [language, window, picture7, rightFace] :
             {std::array{u"English"_s, u"Change colour"_s, u"picture 7 of 8: small blue square"_s, u"right"_s},
              std::array{u"Deutsch"_s, u"Farbe ändern"_s, u"Bild 7 von 8: Quadrat in Blau, klein"_s, u"richtig"_s}}) {
            ProgramFolderFixture::unloadScreens();
            folder.useShipped(language);
            Screen& exercise = shown(app::screens::FormEs1());
            QCOMPARE(exercise.window()->accessibleName(), window);
            QCOMPARE(widget(exercise, ex::Picture1, 6)->accessibleName(), picture7);
            QCOMPARE(widget(exercise, ex::ComandoIconaSi)->accessibleName(), rightFace);
            for (Screen* screen : {&exercise, &app::screens::FormMenu(), &app::screens::FormAvvio()}) {
                screen->Show();
                QVERIFY(!screen->window()->accessibleName().contains(u"Form"_s));
                for (const auto& control : screen->controls())
                    if (control->widget())
                        QVERIFY2(control->widget()->accessibleName() != control->fullName(),
                                 qPrintable(control->fullName()));
            }
        }
    }
};

QTEST_MAIN(TestKeyboardAccess)
#include "tst_keyboard_access.moc"
