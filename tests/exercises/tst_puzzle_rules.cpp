// The rules of the game without screens: what each draw takes from the
// generator.

#include "PuzzleRules.h"

#include <QTest>
#include <vector>

namespace {

// A generator that hands out the given numbers and counts how many were taken.
struct ScriptedGenerator {
    std::vector<double> numbers;
    std::size_t taken = 0;
    puzzle::Generator generator() {
        return [this] { return numbers.at(taken++); };
    }
};

constexpr double kJustBelowOne = 0.9999999999;

}  // namespace

class PuzzleRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void drawsCoverTheirRangeAndTakeOneNumberEach() {
        struct Case {
            const char* what;
            std::function<qint16(const puzzle::Generator&)> draw;
            qint16 lowest, highest;
        };
        const std::vector<Case> cases = {
            {"set", [](const auto& g) { return puzzle::drawSet(puzzle::kAllSets, g); }, 1, 5},
            {"model", puzzle::drawModel, 0, 7},
            {"kind of change", puzzle::drawKindOfChange, 1, 4},
            {"one of two changes", puzzle::drawChange, 1, 3},
        };
        for (const Case& c : cases) {
            ScriptedGenerator rnd{{0.0, kJustBelowOne, 0.5}};
            QCOMPARE(c.draw(rnd.generator()), c.lowest);
            QCOMPARE(c.draw(rnd.generator()), c.highest);
            c.draw(rnd.generator());
            QVERIFY2(rnd.taken == 3, c.what);
        }
        // A chosen set draws no number.
        ScriptedGenerator rnd;
        for (qint16 set = 1; set <= puzzle::kSetCount; ++set)
            QCOMPARE(puzzle::drawSet(set, rnd.generator()), set);
        QCOMPARE(rnd.taken, std::size_t(0));
    }

    void changesOutsideTheirRangeHaveNoAnswerAndNoText() {
        for (qint16 kind : {qint16(0), qint16(5), qint16(-1)}) {
            QVERIFY(!puzzle::rightIndexForKind(kind, 3));
            QVERIFY(puzzle::kindOfChangeString(kind).isEmpty());
        }
    }
};

QTEST_APPLESS_MAIN(PuzzleRulesTest)
#include "tst_puzzle_rules.moc"
