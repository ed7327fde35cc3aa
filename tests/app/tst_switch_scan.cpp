// A child with one switch (Space, Enter or a click) or two (Space or Tab to
// move, Enter to choose): the highlight's order on every screen, its rest,
// the choices, and whole exercises played by the switch alone. The scan's
// timer is a fake clock that the test moves on. The highlight is the
// window's focus.
#include "ExerciseLayout.h"
#include "FormMenu.h"
#include "InputDispatcher.h"
#include "Modulo1.h"
#include "ProgramFolderFixture.h"
#include "ScreenInput.h"
#include "Screens.h"
#include "Settings.h"
#include "SharedState.h"
#include "Speech.h"
#include "SpokenWords.h"
#include "SwitchScan.h"
#include "modLanguageSupport.h"

#include <QPushButton>

using namespace Qt::Literals::StringLiterals;
namespace ex = exercises::exercise_layout;
using forms::Screen;
using settings::Scan;
using namespace screen_input;

namespace {

constexpr int kInterval = 700;
constexpr int kMenuChoices = 18;  // seven exercises, six picture sets, three levels, the sound switch, Esci

// Every scan timer of the test, moved on together by advance().
struct FakeClock {
    struct Timer : forms::ScanTimer {
        explicit Timer(FakeClock& clock) : clock_(clock) { clock_.timers_.push_back(this); }
        ~Timer() override { std::erase(clock_.timers_, this); }
        void start(int intervalMs, std::function<void()> tick) override {
            interval_ = intervalMs;
            elapsed_ = 0;
            tick_ = std::move(tick);
        }
        void stop() override { tick_ = {}; }

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
            if (onStep)
                onStep(10);
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

    std::function<void(int ms)> onStep;  // time passes for others too (a voice)
    std::vector<Timer*> timers_;
};

QString highlightedName(const Screen& screen) {
    for (const auto& control : screen.controls())
        if (control->widget() && control->widget() == focused(screen))
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

// A voice that takes `sentenceMs` of the fake clock for every sentence, and
// notes every sentence that a new one cut before its end.
struct FakeVoice {
    static constexpr int kSentenceMs = 5 * kInterval / 2;  // longer than a rest on a choice
    QStringList heard;
    QStringList cut;

    void say(const QString& text, std::function<void()> done) {
        if (!heard.isEmpty() && done_)
            cut << heard.last() % u" by "_s % text;
        if (text.isEmpty())
            return;
        heard << text;
        done_ = std::move(done);
        remainingMs_ = kSentenceMs;
    }
    void pass(int ms) {
        if (done_ && (remainingMs_ -= ms) <= 0)
            std::exchange(done_, {})();
    }
    std::function<void()> done_;
    int remainingMs_ = 0;
};

}  // namespace

class TestSwitchScan : public QObject {
    Q_OBJECT

    ProgramFolderFixture folder;
    FakeClock clock;
    QStringList said;
    QStringList told;  // the names told to assistive technology, said where a choice has no sentence

    // The highlight moves `count` times, the names it reached in order.
    QStringList scanned(const Screen& screen, int count) {
        QStringList names;
        for (int move = 0; move < count; ++move) {
            clock.ticks(1);
            names << highlightedName(screen);
        }
        return names;
    }
    // Moves the scan on to `choice` by `step` (a key), or by the clock in
    // half intervals (a choice may hold longer, for its name).
    void scanTo(const Screen& screen, const QWidget* choice, std::optional<Qt::Key> step = {}) {
        for (int move = 0; move < 100 && focused(screen) != choice; ++move) {
            if (step)
                press(screen, *step);
            else
                clock.advance(kInterval / 2);
        }
        QCOMPARE(focused(screen), choice);
    }

private Q_SLOTS:
    void initTestCase() {
        state::shell().showMenu = [] { app::screens::FormMenu().Show(); };
        forms::InputDispatcher::instance().setScanTimerFactory(
            [this] { return std::make_unique<FakeClock::Timer>(clock); });
        forms::InputDispatcher::instance().setScanAnnouncer([this](const QString& key, const QString& accessibleName) {
            said << (key.isEmpty() ? accessibleName : key);
            told << accessibleName;
        });
    }
    void init() {
        Modulo1::SerieFigure = 1;
        Modulo1::SuoniAttivati = true;
        forms::InputDispatcher::instance().configureScan(Scan::Auto, kInterval);
        said.clear();
        told.clear();
    }
    void cleanup() {
        ProgramFolderFixture::unloadScreens();
        folder.answerBoxes();
    }

    // The menu: the exercises column by column as they stand, the picture
    // sets, the levels, the sound switch, Esci, each said as it is reached;
    // round again. An exercise: Next once it is enabled, alone with the
    // instruction and the way home while the pictures wait.
    void theScanFollowsTheScreen() {
        Screen& menu = shown(app::screens::FormMenu());
        QCOMPARE(highlightedName(menu), u"Command7"_s);
        // With nothing highlighted, the clock and the switch alike start at the first choice.
        for (const bool bySwitch : {false, true}) {
            focused(menu)->clearFocus();
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
        // The exercises go down each column, the columns from left to right.
        const QStringList exercises = QStringList{u"Command7"_s} + round.first(6);
        for (qsizetype i = 1; i < exercises.size(); ++i) {
            const QPoint before = centre(widget(menu, exercises[i - 1]));
            const QPoint after = centre(widget(menu, exercises[i]));
            QVERIFY2(std::pair(before.x(), before.y()) < std::pair(after.x(), after.y()), qPrintable(exercises[i]));
        }
        QVERIFY(ringAround(focused(menu)));
        QCOMPARE(said.mid(said.size() - kMenuChoices), round);

        Screen& exercise = shown(app::screens::FormEs1());
        QCOMPARE(highlightedName(exercise), u"Picture1(0)"_s);
        // A picture has no sentence of its own: what it shows goes with it.
        QVERIFY(!told.last().isEmpty());
        scanTo(exercise, widget(exercise, ex::Picture1, Modulo1::IndiceModello ^ 1));
        press(exercise, Qt::Key_Space);
        QCOMPARE(Modulo1::ContaEsatti(), qint16(1));
        QCOMPARE(highlightedName(exercise), u"BottoneAvanti"_s);
        QCOMPARE(said.last(), u"BottoneAvanti"_s);
        // The pictures are disabled: Next, the instruction and the way home
        // are the choices, until Next is chosen.
        QCOMPARE(scanned(exercise, 3), (QStringList{u"HearAgain"_s, u"HomeButton"_s, u"BottoneAvanti"_s}));
        press(exercise, Qt::Key_Return);
        QCOMPARE(highlightedName(exercise), u"Picture1(0)"_s);
        QCOMPARE(scanned(exercise, 1), QStringList{u"Picture1(1)"_s});
    }

    // Three rounds with no choice: the scan rests on the first choice and
    // stays there; the switch chooses it, and the scan moves again from there.
    void theScanRestsAfterThreeRoundsUntilTheSwitch() {
        Screen& menu = shown(app::screens::FormMenu());
        // Moved by the screen to the first choice: three whole rounds from there end on it.
        widget(menu, u"Command7"_s)->setFocus();
        clock.ticks(3 * kMenuChoices - 1);
        QCOMPARE(highlightedName(menu), u"BottoneEsci"_s);
        QVERIFY(!menu.scan().resting());
        clock.ticks(1);
        QCOMPARE(highlightedName(menu), u"Command7"_s);
        QVERIFY(menu.scan().resting());
        clock.ticks(20);
        QCOMPARE(highlightedName(menu), u"Command7"_s);
        // A choice starts the count again.
        widget(menu, app::form_menu::LevelOption, 2)->setFocus();
        clock.ticks(1);
        QCOMPARE(highlightedName(menu), u"Check1"_s);
        press(menu, Qt::Key_Space);  // the sound switch, off
        QVERIFY(!Modulo1::SuoniAttivati);
        clock.ticks(3 * kMenuChoices);
        QCOMPARE(highlightedName(menu), u"Check1"_s);
        QVERIFY(!menu.scan().resting());
        clock.ticks(2);
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
    }

    // One switch: Space, Enter and a click anywhere all choose the highlighted
    // picture, even a click on another picture; the mouse's own target is not
    // chosen. Two switches: Space or Tab moves, Enter chooses, no clock moves
    // it, and a click is the mouse's own. A mode a parent chooses reaches the
    // window already shown at once, from every mode to every other: the clock
    // moves only an automatic scan, Space moves a stepped one, and with the
    // scan off Space is the keyboard's again (it presses the focused picture).
    void eachModeChoosesByItsSwitches() {
        Screen& exercise = shown(app::screens::FormEs3());  // the right picture is the model itself
        int right = Modulo1::IndiceModello;
        int wrong = right == 7 ? 6 : 7;
        scanTo(exercise, widget(exercise, ex::Picture1, wrong));
        for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter})
            press(exercise, key);
        QCOMPARE(Modulo1::ContaErrati(), qint16(3));
        click(widget(exercise, ex::Picture1, right));
        QTRY_COMPARE(Modulo1::ContaErrati(), qint16(4));
        click(widget(exercise, ex::Label1));
        QTRY_COMPARE(Modulo1::ContaErrati(), qint16(5));
        QCOMPARE(Modulo1::ContaEsatti(), qint16(0));
        QCOMPARE(focused(exercise), widget(exercise, ex::Picture1, wrong));
        QVERIFY(ringAround(focused(exercise)));
        scanTo(exercise, widget(exercise, ex::Picture1, right));
        click(exercise.client());
        QTRY_COMPARE(Modulo1::ContaEsatti(), qint16(1));
        QCOMPARE(highlightedName(exercise), u"BottoneAvanti"_s);
        QVERIFY(ringAround(focused(exercise)));

        forms::InputDispatcher::instance().configureScan(Scan::Step, kInterval);
        press(exercise, Qt::Key_Return);  // Next
        right = Modulo1::IndiceModello;
        wrong = right == 1 ? 2 : 1;  // a move away from the first, where the scan starts
        const qint16 errors = Modulo1::ContaErrati();
        scanTo(exercise, widget(exercise, ex::Picture1, wrong), Qt::Key_Tab);
        press(exercise, Qt::Key_Return);
        QCOMPARE(Modulo1::ContaErrati(), errors + 1);
        scanTo(exercise, widget(exercise, ex::Picture1, right), Qt::Key_Space);
        press(exercise, Qt::Key_Enter);
        QCOMPARE(Modulo1::ContaEsatti(), qint16(2));
        QCOMPARE(highlightedName(exercise), u"BottoneAvanti"_s);
        // On the disabled pictures a click does nothing.
        click(widget(exercise, ex::Picture1, wrong));
        QCoreApplication::processEvents();
        QCOMPARE(highlightedName(exercise), u"BottoneAvanti"_s);
        QCOMPARE(Modulo1::ContaErrati(), errors + 1);

        press(exercise, Qt::Key_Return);                                                             // Next
        const QWidget* first = widget(exercise, ex::Picture1, Modulo1::IndiceModello == 0 ? 1 : 0);  // wrong
        for (const Scan mode : {Scan::Step, Scan::Off, Scan::Auto, Scan::Off, Scan::Step, Scan::Auto}) {
            forms::InputDispatcher::instance().configureScan(mode, kInterval);
            QCOMPARE(exercise.scan().mode(), mode);
            const QWidget* before = focused(exercise);
            clock.ticks(1);
            QCOMPARE(focused(exercise) != before, mode == Scan::Auto);
            const_cast<QWidget*>(first)->setFocus(Qt::TabFocusReason);
            const int answers = Modulo1::ContaErrati();
            press(exercise, Qt::Key_Space);
            QCOMPARE(focused(exercise) != first, mode == Scan::Step);
            QCOMPARE(Modulo1::ContaErrati() > answers, mode != Scan::Step);
        }
    }

    // A question box scans its buttons, No first; the screen behind it waits,
    // and goes on after No; Yes leaves it.
    void aQuestionScansNoFirst() {
        Screen& exercise = shown(app::screens::FormEs1());
        for (const bool chooseYes : {false, true}) {
            QCOMPARE(highlightedName(exercise), u"Picture1(0)"_s);
            QStringList buttons;
            QString behind;
            whenOpens([&, chooseYes](QMessageBox& box) {
                behind = highlightedName(exercise);
                for (int move = 0; move < 3; ++move) {
                    clock.ticks(move > 0 ? 1 : 0);
                    buttons << (box.focusWidget() == box.button(QMessageBox::No) ? u"No"_s : u"Yes"_s);
                }
                // Each button reached is said by its caption, without the shortcut's mark.
                const QStringList captions{box.button(QMessageBox::Yes)->text().remove(u'&'),
                                           box.button(QMessageBox::No)->text().remove(u'&')};
                QCOMPARE(told.mid(told.size() - 2), captions);
                QVERIFY(!captions.first().isEmpty());
                clock.ticks(chooseYes ? 1 : 0);
                folder.answerBoxes();  // the boxes that follow this one (the menu's missing language files)
                QTest::keyClick(box.focusWidget(), Qt::Key_Space);
            });
            forms::setMessageBoxResponder({});
            QTest::keyClick(exercise.window(), Qt::Key_Escape);
            QCOMPARE(buttons, (QStringList{u"No"_s, u"Yes"_s, u"No"_s}));
            QCOMPARE(behind, u"Picture1(0)"_s);
            QCOMPARE(exercise.isLoaded(), !chooseYes);
        }
    }

    // One switch and a real voice's pace: every sentence is heard whole (the
    // scan waits for it), the way home is a choice, and the choices are named
    // with the sounds off.
    void aSwitchChildHearsEverySentenceWhole() {
        QVERIFY(folder.useShipped(u"English"_s));
        settings::current().speech = true;
        FakeVoice voice;
        media::setVoice([&voice](const QString& text, const QString&, std::function<void()> done) {
            voice.say(text, std::move(done));
        });
        clock.onStep = [&voice](int ms) { voice.pass(ms); };
        forms::InputDispatcher::instance().setScanAnnouncer(feedback::spoken_words::SayName);
        forms::setMessageBoxVoice(feedback::spoken_words::SayText);
        const auto restore = qScopeGuard([this] {
            clock.onStep = {};
            media::setVoice({});
            forms::setMessageBoxVoice({});
            media::Speak({}, {});
            initTestCase();
        });

        Screen& exercise = shown(app::screens::FormEs1());
        clock.advance(10);
        QCOMPARE(voice.heard.value(0), feedback::spoken_words::Sentence(u"Colour"_s));
        // The highlight rests on the first picture while the instruction is
        // said, then while its name is said, then for the interval.
        const QWidget* first = focused(exercise);
        clock.advance(2 * FakeVoice::kSentenceMs - 20);
        QCOMPARE(focused(exercise), first);
        clock.advance(kInterval + 40);
        QVERIFY(focused(exercise) != first);
        QCOMPARE(voice.heard.value(1), widget(exercise, ex::Picture1, 0)->property(forms::kSpokenName).toString());

        const int right = Modulo1::IndiceModello ^ 1;
        scanTo(exercise, widget(exercise, ex::Picture1, right));
        clock.advance(FakeVoice::kSentenceMs);
        press(exercise, Qt::Key_Space);
        QCOMPARE(Modulo1::ContaEsatti(), qint16(1));
        // The highlight's name, Next, and the praise after the sound, each whole.
        clock.advance(2 * FakeVoice::kSentenceMs);
        QCOMPARE(voice.heard.value(voice.heard.size() - 2), feedback::spoken_words::Sentence(u"BottoneAvanti"_s));
        QVERIFY2(voice.heard.last().contains(u'!'), qPrintable(voice.heard.last()));

        // The way home is reached by the scan and asks its question aloud, No first.
        scanTo(exercise, widget(exercise, ex::HomeButton));
        clock.advance(FakeVoice::kSentenceMs);
        folder.answer = forms::MsgAnswer::Yes;
        folder.boxes.clear();
        press(exercise, Qt::Key_Space);
        QCOMPARE(folder.boxes.size(), 1);
        clock.advance(FakeVoice::kSentenceMs);
        const QString question = folder.boxes.last().message.trimmed();
        QVERIFY(!question.isEmpty());
        const QString asked = voice.heard.filter(question).value(0);
        QVERIFY2(asked.indexOf(u"No"_s, question.size()) < asked.indexOf(u"Yes"_s, question.size()),
                 qPrintable(voice.heard.join(u" | "_s)));
        folder.answer = forms::MsgAnswer::Ok;
        Screen& menu = app::screens::FormMenu();
        QTRY_VERIFY(menu.isLoaded() && !exercise.isLoaded());

        // The sound switch off: the choices are still named as the scan reaches them.
        clock.advance(FakeVoice::kSentenceMs);
        widget(menu, app::form_menu::Check1)->setFocus();
        clock.advance(FakeVoice::kSentenceMs + 10);
        press(menu, Qt::Key_Space);
        QVERIFY(!Modulo1::SuoniAttivati);
        scanTo(menu, widget(menu, u"Command7"_s));
        clock.advance(10);
        QCOMPARE(voice.heard.last(), feedback::spoken_words::Sentence(u"Command7"_s));
        QVERIFY2(voice.cut.isEmpty(), qPrintable(voice.cut.join(u" | "_s)));
    }
};

QTEST_MAIN(TestSwitchScan)
#include "tst_switch_scan.moc"
