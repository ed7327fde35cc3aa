// A child with one switch (Space, Enter or a click) or two (Space or Tab to
// move, Enter to choose): the highlight's order on every screen, its rest,
// the choices, and whole exercises played by the switch alone. The scan's
// timer is a fake clock that the test moves on; e2e_switch_scan plays by one
// switch with a real voice, hears every sentence whole and answers the leave
// question (its buttons scanned, No first).
#include "ExerciseLayout.h"
#include "Modulo1.h"
#include "ProgramFolderFixture.h"
#include "ScreenInput.h"
#include "Screens.h"
#include "Settings.h"
#include "SharedState.h"
#include "SwitchScan.h"

#include <QPushButton>

using namespace Qt::Literals::StringLiterals;
namespace ex = exercises::exercise_layout;
using forms::Screen;
using screen_input::press;
using screen_input::ringAround;
using screen_input::widget;
using settings::Scan;

namespace {

constexpr int kInterval = 700;
constexpr int kMenuChoices = 18;  // seven exercises, six picture sets, three levels, the sound switch, Esci

// Every scan timer of the test, moved on together by advance().
class FakeClock {
public:
    class Timer : public forms::ScanTimer {
    public:
        explicit Timer(FakeClock& clock) : clock_(clock) { clock_.timers_.push_back(this); }
        ~Timer() override { std::erase(clock_.timers_, this); }
        void start(int intervalMs, std::function<void()> tick) override {
            interval_ = intervalMs;
            elapsed_ = 0;
            tick_ = std::move(tick);
        }
        void stop() override { tick_ = {}; }

    private:
        friend class FakeClock;
        FakeClock& clock_;
        int interval_ = 0;
        int elapsed_ = 0;
        std::function<void()> tick_;
    };

    // Lets `ms` pass in steps of 10 ms; a tick may end timers or make new
    // ones. The events of each step are handled, as the program's loop would.
    void advance(int ms) {
        for (int step = 0; step < ms / 10; ++step) {
            QCoreApplication::processEvents();
            const std::vector<Timer*> running = timers_;
            for (Timer* timer : running) {
                if (std::find(timers_.begin(), timers_.end(), timer) == timers_.end() || !timer->tick_)
                    continue;
                timer->elapsed_ += 10;
                if (timer->elapsed_ >= timer->interval_) {
                    timer->elapsed_ = 0;
                    const std::function<void()> tick = timer->tick_;
                    tick();
                }
            }
        }
    }
    void ticks(int count) { advance(count * kInterval); }

private:
    std::vector<Timer*> timers_;
};

QWidget* highlighted(const Screen& screen) {
    return screen_input::focused(screen);
}
QWidget* byFullName(const Screen& screen, const QString& fullName) {
    for (const auto& control : screen.controls())
        if (control->fullName() == fullName)
            return control->widget();
    return nullptr;
}
QString highlightedName(const Screen& screen) {
    for (const auto& control : screen.controls())
        if (control->widget() && control->widget() == highlighted(screen))
            return control->fullName();
    return QString();
}
QPoint centre(const QWidget* widget) {
    return widget->mapTo(widget->window(), widget->rect().center());
}
// A click of the mouse on `widget`, as the window system delivers it.
void click(const QWidget* widget) {
    QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, {}, centre(widget));
}

}  // namespace

class TestSwitchScan : public QObject {
    Q_OBJECT

    ProgramFolderFixture folder;
    FakeClock clock;
    QStringList said;
    QStringList shown;  // the names told to assistive technology, said where a choice has no sentence

    Screen& show(Screen& screen) {
        screen.Show();
        if (!QTest::qWaitForWindowActive(screen.window()))
            qWarning("the window was not activated");
        return screen;
    }
    // The highlight moves `count` times, the names it reached in order.
    QStringList scanned(const Screen& screen, int count) {
        QStringList names;
        for (int move = 0; move < count; ++move) {
            clock.ticks(1);
            names << highlightedName(screen);
        }
        return names;
    }
    // Each of `names` stands below the one before, or in a column further right.
    static void checkColumnOrder(const Screen& screen, const QStringList& names) {
        for (qsizetype i = 1; i < names.size(); ++i) {
            const QPoint before = centre(byFullName(screen, names[i - 1]));
            const QPoint after = centre(byFullName(screen, names[i]));
            QVERIFY2(std::pair(before.x(), before.y()) < std::pair(after.x(), after.y()), qPrintable(names[i]));
        }
    }
    // Moves the automatic scan on to picture `index`.
    void waitForPicture(const Screen& exercise, int index) {
        for (int move = 0; move < 9 && highlighted(exercise) != widget(exercise, ex::Picture1, index); ++move)
            clock.ticks(1);
        QCOMPARE(highlighted(exercise), widget(exercise, ex::Picture1, index));
    }

private Q_SLOTS:
    void initTestCase() {
        state::shell().showMenu = [] { app::screens::FormMenu().Show(); };
        forms::switch_scan::setTimerFactory([this] { return std::make_unique<FakeClock::Timer>(clock); });
        forms::switch_scan::setAnnouncer([this](const QString& key, const QString& accessibleName) {
            said << (key.isEmpty() ? accessibleName : key);
            shown << accessibleName;
        });
    }
    void init() {
        Modulo1::SerieFigure = 1;
        forms::switch_scan::configure(Scan::Auto, kInterval);
        said.clear();
        shown.clear();
    }
    void cleanup() { ProgramFolderFixture::unloadScreens(); }

    // The menu: the exercises column by column as they stand, the picture
    // sets, the sound switch, Esci, each said as it is reached; round again.
    // An exercise: a picture has no sentence of its own, what it shows goes
    // with it; once solved, Next, the instruction and the way home are the
    // choices until Next is chosen. (The pictures' order at every level:
    // tst_exercise_screens; a puzzle solved by one switch: e2e_switch_scan.)
    void theScanFollowsTheScreen() {
        Screen& menu = show(app::screens::FormMenu());
        QCOMPARE(highlightedName(menu), u"Command7"_s);
        // With nothing highlighted, the clock and the switch alike start at the first choice.
        for (const bool bySwitch : {false, true}) {
            highlighted(menu)->clearFocus();
            QCOMPARE(highlightedName(menu), QString());
            if (bySwitch)
                press(menu, Qt::Key_Space);
            else
                clock.ticks(1);
            QCOMPARE(highlightedName(menu), u"Command7"_s);
        }
        const QStringList round = scanned(menu, kMenuChoices);
        QCOMPARE(round.mid(6), (QStringList{u"Option1(0)"_s, u"Option1(1)"_s, u"Option1(2)"_s, u"Option1(3)"_s,
                                            u"Option1(4)"_s, u"Option1(5)"_s, u"LevelOption(0)"_s, u"LevelOption(1)"_s,
                                            u"LevelOption(2)"_s, u"Check1"_s, u"BottoneEsci"_s, u"Command7"_s}));
        checkColumnOrder(menu, QStringList{u"Command7"_s} + round.first(6));
        QVERIFY(ringAround(highlighted(menu)));
        QCOMPARE(said.mid(said.size() - kMenuChoices), round);

        Screen& exercise = show(app::screens::FormEs1());
        QCOMPARE(scanned(exercise, 1), QStringList{u"Picture1(1)"_s});
        QVERIFY(!shown.last().isEmpty());
        exercise.control(ex::Picture1, Modulo1::IndiceModello ^ 1).click();
        QCOMPARE(said.last(), u"BottoneAvanti"_s);
        QCOMPARE(scanned(exercise, 3), (QStringList{u"HearAgain"_s, u"HomeButton"_s, u"BottoneAvanti"_s}));
        press(exercise, Qt::Key_Return);
        QCOMPARE(highlightedName(exercise), u"Picture1(0)"_s);
        QCOMPARE(scanned(exercise, 1), QStringList{u"Picture1(1)"_s});
    }

    // Three rounds with no choice: the scan rests on the first choice and
    // stays there; the switch chooses it, and the scan moves again from there.
    void theScanRestsAfterThreeRoundsUntilTheSwitch() {
        Screen& menu = show(app::screens::FormMenu());
        Modulo1::SuoniAttivati = true;
        widget(menu, u"Check1"_s)->setFocus();  // moved by the screen: three whole rounds from here
        clock.ticks(3 * kMenuChoices + 1);
        QCOMPARE(highlightedName(menu), u"BottoneEsci"_s);
        QVERIFY(!menu.scan().resting());
        clock.ticks(1);
        QCOMPARE(highlightedName(menu), u"Command7"_s);
        QVERIFY(menu.scan().resting());
        clock.ticks(20);
        QCOMPARE(highlightedName(menu), u"Command7"_s);
        // A choice starts the count again.
        widget(menu, u"LevelOption"_s, 2)->setFocus();
        clock.ticks(1);
        QCOMPARE(highlightedName(menu), u"Check1"_s);
        press(menu, Qt::Key_Space);  // the sound switch, off
        QVERIFY(!Modulo1::SuoniAttivati);
        clock.ticks(3 * kMenuChoices);
        QCOMPARE(highlightedName(menu), u"Check1"_s);
        QVERIFY(!menu.scan().resting());
        press(menu, Qt::Key_Space);  // and on again
        QVERIFY(Modulo1::SuoniAttivati);
        clock.ticks(3 * kMenuChoices + 2);
        QVERIFY(menu.scan().resting());
        QCOMPARE(highlightedName(menu), u"Command7"_s);
        // A press after the rest only wakes the scan and says where it is; the next one chooses.
        said.clear();
        press(menu, Qt::Key_Space);
        QVERIFY(menu.isLoaded());
        QVERIFY(!menu.scan().resting());
        QCOMPARE(said, QStringList{u"Command7"_s});
        press(menu, Qt::Key_Space);
        QVERIFY(app::screens::FormEs1().isLoaded());
        QVERIFY(!menu.isLoaded());
    }

    // The scan reaches the levels after the picture sets, says each, and the
    // switch chooses one; hidden by the parent, the scan passes them by.
    void aLevelIsChosenByTheSwitch() {
        const auto restore = qScopeGuard([] { settings::current() = {}; });
        settings::current().level = settings::Level::Three;
        Screen& menu = show(app::screens::FormMenu());
        QVERIFY(menu.control(u"LevelOption"_s, 2).checked());
        widget(menu, u"Option1"_s, 5)->setFocus();
        QCOMPARE(scanned(menu, 1), QStringList{u"LevelOption(0)"_s});
        QCOMPARE(said.last(), u"LevelOption(0)"_s);
        press(menu, Qt::Key_Space);
        QCOMPARE(settings::current().level, settings::Level::One);
        QVERIFY(menu.control(u"LevelOption"_s, 0).checked());
        menu.Unload();
        settings::current().levelOnMenu = false;
        show(menu);
        widget(menu, u"Option1"_s, 5)->setFocus();
        QCOMPARE(scanned(menu, 1), QStringList{u"Check1"_s});
    }

    // Space, Enter and a click anywhere all choose the highlighted picture,
    // even a click on another picture; the mouse's own target is not chosen.
    void spaceEnterAndAClickAnywhereChooseTheHighlight() {
        Screen& exercise = show(app::screens::FormEs3());  // the right picture is the model itself
        const int right = Modulo1::IndiceModello;
        const int wrong = right == 7 ? 6 : 7;
        waitForPicture(exercise, wrong);
        press(exercise, Qt::Key_Space);
        press(exercise, Qt::Key_Return);
        press(exercise, Qt::Key_Enter);
        QCOMPARE(Modulo1::ContaErrati(), qint16(3));
        click(widget(exercise, ex::Picture1, right));
        QTRY_COMPARE(Modulo1::ContaErrati(), qint16(4));
        click(widget(exercise, ex::Label1));
        QTRY_COMPARE(Modulo1::ContaErrati(), qint16(5));
        QCOMPARE(Modulo1::ContaEsatti(), qint16(0));
        QCOMPARE(highlighted(exercise), widget(exercise, ex::Picture1, wrong));
        QVERIFY(ringAround(highlighted(exercise)));
        waitForPicture(exercise, right);
        click(exercise.client());
        QTRY_COMPARE(Modulo1::ContaEsatti(), qint16(1));
        QCOMPARE(highlightedName(exercise), u"BottoneAvanti"_s);
        QVERIFY(ringAround(highlighted(exercise)));
    }

    // Two switches: Space or Tab moves, Enter chooses; no clock moves the
    // highlight, and a click is the mouse's own, where it points.
    void anExerciseIsPlayedWithTwoSwitches() {
        forms::switch_scan::configure(Scan::Step, kInterval);
        Screen& exercise = show(app::screens::FormEs4());
        clock.ticks(5);
        QCOMPARE(highlightedName(exercise), u"Picture1(0)"_s);
        press(exercise, Qt::Key_Space);
        press(exercise, Qt::Key_Tab);
        QCOMPARE(highlightedName(exercise), u"Picture1(2)"_s);
        QCOMPARE(Modulo1::ContaErrati() + Modulo1::ContaEsatti(), 0);
        const int right = Modulo1::IndiceModello ^ 2;
        while (highlighted(exercise) != widget(exercise, ex::Picture1, right))
            press(exercise, Qt::Key_Space);
        press(exercise, Qt::Key_Enter);
        QCOMPARE(Modulo1::ContaEsatti(), qint16(1));
        QCOMPARE(highlightedName(exercise), u"BottoneAvanti"_s);
        // On the disabled pictures, nothing.
        click(widget(exercise, ex::Picture1, right == 0 ? 1 : 0));
        QCoreApplication::processEvents();
        QCOMPARE(highlightedName(exercise), u"BottoneAvanti"_s);
        QCOMPARE(Modulo1::ContaErrati(), qint16(0));
    }

    // A mode a parent chooses reaches the window already shown at once, from
    // every mode to every other: the clock moves only an automatic scan, Space
    // moves a stepped one, and with the scan off Space is the keyboard's again
    // (it presses the focused picture).
    void aModeChosenReachesTheShownWindowAtOnce() {
        Screen& exercise = show(app::screens::FormEs3());
        const QWidget* wrong = widget(exercise, ex::Picture1, Modulo1::IndiceModello == 0 ? 1 : 0);
        for (const Scan mode : {Scan::Step, Scan::Off, Scan::Auto, Scan::Off, Scan::Step, Scan::Auto}) {
            forms::switch_scan::configure(mode, kInterval);
            QCOMPARE(exercise.scan().mode(), mode);
            const QWidget* before = highlighted(exercise);
            clock.ticks(1);
            QCOMPARE(highlighted(exercise) != before, mode == Scan::Auto);
            const_cast<QWidget*>(wrong)->setFocus(Qt::TabFocusReason);
            const int answers = Modulo1::ContaErrati();
            press(exercise, Qt::Key_Space);
            QCOMPARE(highlighted(exercise) != wrong, mode == Scan::Step);
            QCOMPARE(Modulo1::ContaErrati() > answers, mode != Scan::Step);
        }
    }
};

QTEST_MAIN(TestSwitchScan)
#include "tst_switch_scan.moc"
