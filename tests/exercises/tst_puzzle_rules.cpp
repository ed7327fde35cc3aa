// The rules of the exercises without any screen: the right index of every
// change against the attributes of the eight pictures, the draws and their
// bounds, the texts that name the changes, the counts.

#include "exercises/PuzzleRules.h"
#include "tests/exercises/PictureAttributes.h"

#include <QTest>
#include <array>
#include <cmath>
#include <functional>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

using namespace picture_attributes;

int attributeOfChange(int change) {  // 1 colour, 2 size, 3 shape
    return change == 1 ? Colour : change == 2 ? Size : Shape;
}

// A generator that returns the given numbers in turn and counts the draws.
struct ScriptedGenerator {
    std::vector<double> values;
    std::size_t drawn = 0;
    puzzle::Generator generator() {
        return [this] { return values.at(drawn++); };
    }
};

}  // namespace

class PuzzleRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rightIndexOfEveryKindOfChange() {
        const std::array<int, 5> attributesOfKind{0, Colour, Size, Shape, 0};  // kind 4: no change
        for (qint16 model = 0; model < 8; ++model) {
            for (qint16 kind = 1; kind <= 4; ++kind) {
                const std::optional<qint16> right = puzzle::rightIndexForKind(kind, model);
                QVERIFY(right.has_value());
                QCOMPARE(int(*right), pictureWithChanges(model, attributesOfKind[std::size_t(kind)]));
            }
            QVERIFY(!puzzle::rightIndexForKind(0, model));
            QVERIFY(!puzzle::rightIndexForKind(5, model));
            QVERIFY(!puzzle::rightIndexForKind(-1, model));
        }
    }

    void rightIndexOfTwoChangesInEitherOrder() {
        for (qint16 model = 0; model < 8; ++model)
            for (qint16 first = 1; first <= 3; ++first)
                for (qint16 second = 1; second <= 3; ++second) {
                    // A change applied twice undoes itself.
                    const int changed = attributeOfChange(first) ^ attributeOfChange(second);
                    QCOMPARE(int(puzzle::rightIndexForTwoChanges(first, second, model)),
                             pictureWithChanges(model, changed));
                    QCOMPARE(puzzle::rightIndexForTwoChanges(first, second, model),
                             puzzle::rightIndexForTwoChanges(second, first, model));
                }
    }

    void theBitsOfTheCodeMatchThePictures() {
        for (int model = 0; model < 8; ++model) {
            QCOMPARE(model ^ puzzle::kColourBit, pictureWithChanges(model, Colour));
            QCOMPARE(model ^ puzzle::kSizeBit, pictureWithChanges(model, Size));
            QCOMPARE(model ^ puzzle::kShapeBit, pictureWithChanges(model, Shape));
            QCOMPARE(model ^ puzzle::kEveryBit, pictureWithChanges(model, Colour | Size | Shape));
        }
    }

    void drawsCoverTheirRangeEvenly() {
        struct Case {
            const char* what;
            std::function<qint16(const puzzle::Generator&)> draw;
            int first;
            int count;
        };
        const std::vector<Case> cases{
            {"model", puzzle::drawModel, 0, 8},
            {"kind of change", puzzle::drawKindOfChange, 1, 4},
            {"one of two changes", puzzle::drawChange, 1, 3},
            {"set", [](const puzzle::Generator& rnd) { return puzzle::drawSet(6, rnd); }, 1, 5},
        };
        for (const Case& c : cases) {
            // Each value takes an equal share of [0, 1), its lower bound included.
            for (int v = 0; v < c.count; ++v) {
                const double low = double(v) / c.count;
                const double high = std::nextafter(double(v + 1) / c.count, 0.0);
                ScriptedGenerator rnd{{low, high}};
                const puzzle::Generator g = rnd.generator();
                QVERIFY2(c.draw(g) == c.first + v, c.what);
                QVERIFY2(c.draw(g) == c.first + v, c.what);
            }
            ScriptedGenerator edge{{std::nextafter(1.0, 0.0)}};
            QVERIFY2(c.draw(edge.generator()) == c.first + c.count - 1, c.what);
        }
    }

    void aChosenSetDrawsNothing() {
        for (qint16 set = 1; set <= 5; ++set) {
            ScriptedGenerator rnd{{0.5}};
            QCOMPARE(puzzle::drawSet(set, rnd.generator()), set);
            QCOMPARE(rnd.drawn, std::size_t(0));
        }
        ScriptedGenerator rnd{{0.5}};
        puzzle::drawSet(6, rnd.generator());
        QCOMPARE(rnd.drawn, std::size_t(1));
    }

    void textsThatNameTheChanges() {
        QCOMPARE(puzzle::kindOfChangeString(1), u"0005"_s);
        QCOMPARE(puzzle::kindOfChangeString(2), u"0006"_s);
        QCOMPARE(puzzle::kindOfChangeString(3), u"0007"_s);
        QCOMPARE(puzzle::kindOfChangeString(4), u"0008"_s);
        QCOMPARE(puzzle::firstChangeString(1), u"0014"_s);
        QCOMPARE(puzzle::firstChangeString(2), u"0015"_s);
        QCOMPARE(puzzle::firstChangeString(3), u"0016"_s);
        QCOMPARE(puzzle::secondChangeString(1), u"0017"_s);
        QCOMPARE(puzzle::secondChangeString(2), u"0018"_s);
        QCOMPARE(puzzle::secondChangeString(3), u"0019"_s);
        for (qint16 outside : {qint16(0), qint16(5), qint16(-3)})
            QVERIFY(puzzle::kindOfChangeString(outside).isEmpty());
        for (qint16 outside : {qint16(0), qint16(4)}) {
            QVERIFY(puzzle::firstChangeString(outside).isEmpty());
            QVERIFY(puzzle::secondChangeString(outside).isEmpty());
        }
    }

    void countsGrowUpTo32767AndShowALeadingBlank() {
        QCOMPARE(puzzle::countAfterAnswer(0), qint16(1));
        QCOMPARE(puzzle::countAfterAnswer(32766), qint16(32767));
        QCOMPARE(puzzle::countAfterAnswer(32767), qint16(32767));
        QCOMPARE(puzzle::countCaption(1), u" 1"_s);
        QCOMPARE(puzzle::countCaption(12), u" 12"_s);
        QCOMPARE(puzzle::countCaption(32767), u" 32767"_s);
    }

    void picturePathsUnderTheProgramFolder() {
        QCOMPARE(puzzle::picturePath(u"/opt/metamorfine"_s, 2, 3), u"/opt/metamorfine/gif/2/3.gif"_s);
        QCOMPARE(puzzle::picturePath(u"/tmp/p"_s, 5, 8), u"/tmp/p/gif/5/8.gif"_s);
    }
};

QTEST_MAIN(PuzzleRulesTest)
#include "tst_puzzle_rules.moc"
