#include "DataFiles.h"
#include "FileBytes.h"
#include "ModuloColoriSuoni.h"
#include "Random.h"
#include "SharedState.h"
#include "Sound.h"

#include <QElapsedTimer>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

using namespace Qt::Literals::StringLiterals;

class FeedbackTest : public QObject {
    Q_OBJECT

    QStringList played_;

private Q_SLOTS:
    void initTestCase() {
        media::setSoundObserver([this](const QString& path) { played_.append(path); });
        files::setExecutableFolder(u"/opt/metamorfine"_s);
    }

    void cleanupTestCase() {
        media::setSoundObserver({});
        files::setExecutableFolder({});
    }

    // Each sound routine draws exactly the random numbers it needs, so the
    // puzzles drawn after it stay as they would be; with the sounds off
    // nothing is drawn.
    void soundsAndTheirDraws() {
        Modulo1::SuoniAttivati = true;
        media::seedRandom(77);
        for (int i = 0; i < 200; ++i)
            ModuloColoriSuoni::SuonoEsatto();
        const QSet<QString> heard(played_.cbegin(), played_.cend());
        QCOMPARE(heard, (QSet<QString>{u"/opt/metamorfine/suoni/si1.wav"_s, u"/opt/metamorfine/suoni/si2.wav"_s,
                                       u"/opt/metamorfine/suoni/si3.wav"_s, u"/opt/metamorfine/suoni/si4.wav"_s}));

        const auto nextAfter = [](const std::function<void()>& routine) {
            media::seedRandom(4242);
            routine();
            return media::Rnd();
        };
        const double first = nextAfter([] {});
        const double second = nextAfter([] { media::Rnd(); });
        QCOMPARE(nextAfter([] { ModuloColoriSuoni::PreparaColori(); }), second);
        QCOMPARE(nextAfter(ModuloColoriSuoni::SuonoEsatto), second);
        QCOMPARE(nextAfter(ModuloColoriSuoni::SuonoErrato), first);

        Modulo1::SuoniAttivati = false;
        QCOMPARE(nextAfter(ModuloColoriSuoni::SuonoEsatto), first);
        QCOMPARE(nextAfter(ModuloColoriSuoni::SuonoErrato), first);
    }

    // A FIFO in the place of a sound holds no answer: it has no length, and
    // asking to play it returns at once.
    void aFifoSoundIsRefusedAtOnce() {
        QTemporaryDir folder;
        const QString fifo = folder.filePath(u"fifo.wav"_s);
        const file_bytes::ReleasedFifo released(fifo);
        QVERIFY(released.made());
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(ModuloColoriSuoni::soundLength(fifo), std::chrono::milliseconds());
        media::PlaySoundAsync(fifo);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_MAIN(FeedbackTest)
#include "tst_feedback.moc"
