// Growing with the child: the level after each puzzle of a sequence, from
// how many wrong answers each needed.

#include "LevelGrowth.h"

#include <QTest>

using settings::level_growth::Growth;
using settings::level_growth::Step;

class TestLevelGrowth : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void levelAfterEachPuzzle_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<QList<int>>("wrongAnswers");  // of each puzzle in turn
        QTest::addColumn<QList<int>>("levels");        // the level after each
        QTest::newRow("five first tries step up") << 2 << QList{0, 0, 0, 0, 0} << QList{2, 2, 2, 2, 3};
        QTest::newRow("four first tries do not") << 1 << QList{0, 0, 0, 0, 1, 0} << QList{1, 1, 1, 1, 1, 1};
        // After a step the run starts anew: five more for the next.
        QTest::newRow("ten first tries step twice")
            << 1 << QList{0, 0, 0, 0, 0, 0, 0, 0, 0, 0} << QList{1, 1, 1, 1, 2, 2, 2, 2, 2, 3};
        QTest::newRow("three hard puzzles step down") << 2 << QList{2, 3, 7} << QList{2, 2, 1};
        QTest::newRow("six hard puzzles step twice") << 3 << QList{2, 2, 2, 2, 2, 2} << QList{3, 3, 2, 2, 2, 1};
        QTest::newRow("one wrong answer is neither")
            << 2 << QList{0, 0, 0, 0, 1, 2, 2, 1, 2, 2} << QList{2, 2, 2, 2, 2, 2, 2, 2, 2, 2};
        QTest::newRow("a hard puzzle breaks the first tries")
            << 2 << QList{0, 0, 0, 0, 2, 0, 0, 0, 0, 0} << QList{2, 2, 2, 2, 2, 2, 2, 2, 2, 3};
        QTest::newRow("a first try breaks the hard puzzles") << 2 << QList{2, 2, 0, 2, 2, 2} << QList{2, 2, 2, 2, 2, 1};
        // At the top and the bottom a complete run steps nowhere; the other way still steps.
        QTest::newRow("nothing above 3") << 3 << QList{0, 0, 0, 0, 0, 0, 2, 2, 2} << QList{3, 3, 3, 3, 3, 3, 3, 3, 2};
        QTest::newRow("nothing below 1") << 1 << QList{2, 2, 2, 2, 0, 0, 0, 0, 0} << QList{1, 1, 1, 1, 1, 1, 1, 1, 2};
    }
    void levelAfterEachPuzzle() {
        QFETCH(int, start);
        QFETCH(QList<int>, wrongAnswers);
        QFETCH(QList<int>, levels);
        Growth growth{.level = start};
        for (qsizetype n = 0; n < wrongAnswers.size(); ++n) {
            const int before = growth.level;
            growth = settings::level_growth::afterPuzzle(growth, wrongAnswers[n]);
            QCOMPARE(growth.level, levels[n]);
            const Step step = growth.level > before ? Step::Up : growth.level < before ? Step::Down : Step::None;
            QCOMPARE(growth.step, step);
        }
    }
};

QTEST_GUILESS_MAIN(TestLevelGrowth)
#include "tst_level_growth.moc"
