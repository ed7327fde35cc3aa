#include "DataFiles.h"
#include "ModuloColoriSuoni.h"
#include "Random.h"
#include "SharedState.h"
#include "Sound.h"

#include <QSet>
#include <QStringList>
#include <QTest>
#include <functional>

using namespace Qt::Literals::StringLiterals;

class FeedbackTest : public QObject {
    Q_OBJECT

    QStringList played_;

private Q_SLOTS:
    void initTestCase() {
        platform::setSoundObserver([this](const QString& path) { played_.append(path); });
        platform::setExecutableFolder(u"/opt/metamorfine"_s);
    }

    void cleanupTestCase() {
        platform::setSoundObserver({});
        platform::setExecutableFolder({});
    }

    // Each sound routine draws exactly the random numbers it needs, so the
    // puzzles drawn after it stay as they would be; with the sounds off
    // nothing is drawn.
    void soundsAndTheirDraws() {
        Modulo1::SuoniAttivati = true;
        platform::seedRandom(77);
        for (int i = 0; i < 200; ++i)
            ModuloColoriSuoni::SuonoEsatto();
        const QSet<QString> heard(played_.cbegin(), played_.cend());
        QCOMPARE(heard, (QSet<QString>{u"/opt/metamorfine/suoni/si1.wav"_s, u"/opt/metamorfine/suoni/si2.wav"_s,
                                       u"/opt/metamorfine/suoni/si3.wav"_s, u"/opt/metamorfine/suoni/si4.wav"_s}));

        const auto nextAfter = [](const std::function<void()>& routine) {
            platform::seedRandom(4242);
            routine();
            return platform::Rnd();
        };
        const double first = nextAfter([] {});
        const double second = nextAfter([] { platform::Rnd(); });
        QCOMPARE(nextAfter([] { ModuloColoriSuoni::PreparaColori(); }), second);
        QCOMPARE(nextAfter(ModuloColoriSuoni::SuonoEsatto), second);
        QCOMPARE(nextAfter(ModuloColoriSuoni::SuonoErrato), first);

        Modulo1::SuoniAttivati = false;
        QCOMPARE(nextAfter(ModuloColoriSuoni::SuonoEsatto), first);
        QCOMPARE(nextAfter(ModuloColoriSuoni::SuonoErrato), first);
    }
};

QTEST_MAIN(FeedbackTest)
#include "tst_feedback.moc"
