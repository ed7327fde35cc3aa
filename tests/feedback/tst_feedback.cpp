#include "app/SharedState.h"
#include "feedback/ModuloColoriSuoni.h"
#include "platform/Colour.h"
#include "platform/Process.h"
#include "platform/Random.h"
#include "platform/Sound.h"

#include <QMap>
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
        platform::setProgramFolder(u"/opt/metamorfine"_s);
    }

    void paletteSharesFollowTheEntries() {
        const auto rgb = [](int red, int green, int blue) { return platform::bgrFromRgb(qRgb(red, green, blue)); };
        // Each colour and how many of the 18 entries hold it.
        const QMap<quint32, int> entries = {
            {rgb(255, 192, 192), 1}, {rgb(255, 128, 128), 2}, {rgb(255, 192, 128), 1}, {rgb(255, 128, 0), 1},
            {rgb(255, 255, 192), 1}, {rgb(255, 255, 0), 2},   {rgb(192, 64, 0), 1},    {rgb(128, 255, 128), 1},
            {rgb(192, 255, 255), 1}, {rgb(0, 255, 255), 1},   {rgb(192, 192, 255), 1}, {rgb(255, 192, 255), 3},
            {rgb(224, 224, 224), 1}, {rgb(255, 0, 255), 1},
        };
        platform::seedRandom(20240601);
        constexpr int draws = 90000;
        QMap<quint32, int> seen;
        for (int i = 0; i < draws; ++i)
            ++seen[ModuloColoriSuoni::PreparaColori()];
        QCOMPARE(seen.keys(), entries.keys());
        for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
            const double expected = draws * it.value() / 18.0;
            QVERIFY2(qAbs(seen.value(it.key()) - expected) < expected * 0.06,
                     qPrintable(QString::number(it.key(), 16)));
        }
    }

    // Each sound routine draws exactly the random numbers it needs, so the
    // puzzles drawn after it stay as they would be; with the sounds off
    // nothing plays and nothing is drawn.
    void soundsAndTheirDraws() {
        Modulo1::SuoniAttivati = true;
        platform::seedRandom(77);
        constexpr int answers = 8000;
        for (int i = 0; i < answers; ++i)
            ModuloColoriSuoni::SuonoEsatto();
        QMap<QString, int> heard;
        for (const QString& path : std::as_const(played_))
            ++heard[path];
        QCOMPARE(heard.size(), 4);
        for (int n = 1; n <= 4; ++n) {
            const QString path = u"/opt/metamorfine/suoni/si%1.wav"_s.arg(n);
            QVERIFY2(qAbs(heard.value(path) - answers / 4) < answers / 4 * 0.08, qPrintable(path));
        }
        played_.clear();
        ModuloColoriSuoni::SuonoErrato();
        QCOMPARE(played_, QStringList{u"/opt/metamorfine/suoni/no.wav"_s});

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
        played_.clear();
        QCOMPARE(nextAfter(ModuloColoriSuoni::SuonoEsatto), first);
        QCOMPARE(nextAfter(ModuloColoriSuoni::SuonoErrato), first);
        QVERIFY(played_.isEmpty());
    }
};

QTEST_MAIN(FeedbackTest)
#include "tst_feedback.moc"
