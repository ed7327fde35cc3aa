// The level of the puzzles: chosen on the menu, named for a screen reader,
// and growing with the child on an exercise screen, told in words and voice.
// English as shipped; the settings file lies in the test's own folder.
#include "ExerciseLayout.h"
#include "ExerciseScreen.h"
#include "FormMenu.h"
#include "ProgramFolderFixture.h"
#include "ScreenInput.h"
#include "Screens.h"
#include "Settings.h"
#include "SharedState.h"
#include "Speech.h"
#include "modLanguageSupport.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
namespace ex = exercises::exercise_layout;
using forms::Screen;
using screen_input::announcement;
using settings::Level;

namespace {

QString sentence(const QString& key) {
    return modLanguageSupport::MLSOurWord(modLanguageSupport::OurWords::Speech, key);
}
QString title(const Screen& exercise) {
    return exercise.control(ex::Label3).text(forms::TextProperty::Caption).value_or(QString());
}

}  // namespace

class TestLevels : public QObject {
    Q_OBJECT

    ProgramFolderFixture folder;
    QStringList said;

    static Screen& menu() { return app::screens::FormMenu(); }
    static ExerciseScreen& exercise() { return dynamic_cast<ExerciseScreen&>(app::screens::FormEs1()); }
    // The puzzle solved after `wrong` wrong answers.
    static void solve(int wrong) {
        const int right = *exercise().puzzle().rightIndex();
        for (int answer = 0; answer < wrong; ++answer)
            exercise().control(ex::Picture1, right ^ 1).click();
        exercise().control(ex::Picture1, right).click();
    }
    static void next() { exercise().control(ex::BottoneAvanti).click(); }
    // `count` puzzles solved after `wrong` wrong answers each: the level stays
    // until the last, and the last steps to `reached`, told in the words of `stepKey`.
    void solveAndStep(int count, int wrong, int reached, const QString& stepKey) {
        const int before = settings::puzzleLevel();
        const QString designedTitle = title(exercise());
        for (int puzzle = 1; puzzle < count; ++puzzle) {
            solve(wrong);
            QCOMPARE(settings::puzzleLevel(), before);
            next();
        }
        said.clear();
        solve(wrong);
        QCOMPARE(settings::puzzleLevel(), reached);
        QCOMPARE(settings::read().reachedLevel, reached);
        const QString step = sentence(stepKey);
        QCOMPARE(title(exercise()), step);
        QVERIFY2(announcement(exercise()).endsWith(step), qPrintable(announcement(exercise())));
        // After the praise, which it does not cut.
        QTRY_COMPARE_WITH_TIMEOUT(said.size(), 2, 5000);
        QCOMPARE(said.last(), step);
        next();
        QTRY_COMPARE_WITH_TIMEOUT(title(exercise()), designedTitle, 8000);
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(folder.useShipped(u"English"_s));
        state::shell().showMenu = [] { menu().Show(); };
        media::setSpeechObserver([this](const QString& text, const QString&) { said << text; });
    }
    void init() {
        settings::current() = {};
        QFile::remove(settings::filePath());
        Modulo1::SuoniAttivati = true;
        said.clear();
    }
    void cleanup() { ProgramFolderFixture::unloadScreens(); }

    // Each level is named by its sentence and announced when chosen. A fixed
    // level is this run's; a growing one goes on from the level chosen, kept
    // in the file and shown chosen when the menu comes back.
    void theMenuNamesTheLevelsAndChoosesThemBothWays() {
        menu().Show();
        QVERIFY(!menu().control(app::form_menu::LevelBox).widget()->accessibleName().isEmpty());
        QVERIFY(menu().control(app::form_menu::LevelOption, 1).checked());
        QSet<QString> names;
        for (const int index : {2, 0, 1}) {
            forms::Control& option = menu().control(app::form_menu::LevelOption, index);
            QCOMPARE(option.widget()->accessibleName(), sentence(u"LevelOption(%1)"_s.arg(index)));
            names.insert(option.widget()->accessibleName());
            option.click();
            QCOMPARE(settings::current().level, Level(index + 1));
            QCOMPARE(announcement(menu()), option.widget()->accessibleName());
        }
        QCOMPARE(names.size(), settings::kMaxLevel);
        QVERIFY(!QFile::exists(settings::filePath()));

        // Growing, the level chosen is where the child goes on from (kept: tst_children).
        settings::current().level = Level::Grows;
        menu().control(app::form_menu::LevelOption, 2).click();
        QCOMPARE(settings::current().level, Level::Grows);
        QCOMPARE(settings::puzzleLevel(), 3);
        menu().Unload();
        menu().Show();
        QVERIFY(menu().control(app::form_menu::LevelOption, 2).checked());
    }

    // A fixed level never steps, says no step and keeps nothing. Growing:
    // five puzzles at the first try step up, three that needed two wrong
    // answers each step down; each step is kept, shown in the place of the
    // title for a moment, announced and said after the praise.
    void theLevelGrowsWithTheChildAlone() {
        exercise().Show();
        const QString designedTitle = title(exercise());
        for (int puzzle = 0; puzzle < 5; ++puzzle) {
            solve(0);
            QCOMPARE(title(exercise()), designedTitle);
            next();
        }
        QCOMPARE(settings::puzzleLevel(), settings::kDefaultLevel);
        QVERIFY(!QFile::exists(settings::filePath()));
        QVERIFY(!said.contains(sentence(u"LevelUp3"_s)));
        settings::current().level = Level::Grows;
        solveAndStep(5, 0, 3, u"LevelUp3"_s);
        solveAndStep(3, 2, 2, u"LevelDown2"_s);
    }
};

QTEST_MAIN(TestLevels)
#include "tst_levels.moc"
