// The five answer sounds of the program folder: 16-bit PCM mono files of the
// right length, below full scale, free of clicks at both ends, and about
// equally loud; the four right-answer sounds differ, and the wrong-answer
// sound is the lowest.

#include <QFile>
#include <QtEndian>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Wave {
    int format = 0, channels = 0, sampleRate = 0, bitsPerSample = 0;
    std::vector<double> samples;  // -1 to 1
    double seconds() const { return double(samples.size()) / sampleRate; }
};

std::optional<Wave> readWave(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") return std::nullopt;
    const auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    const auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    Wave wave;
    bool haveFormat = false;
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        const qsizetype size = qsizetype(u32(at + 4));
        const qsizetype body = at + 8;
        if (body + size > bytes.size()) return std::nullopt;
        if (id == "fmt " && size >= 16) {
            wave.format = u16(body);
            wave.channels = u16(body + 2);
            wave.sampleRate = int(u32(body + 4));
            wave.bitsPerSample = u16(body + 14);
            haveFormat = true;
        } else if (id == "data" && haveFormat && wave.bitsPerSample == 16) {
            for (qsizetype i = body; i + 1 < body + size; i += 2)
                wave.samples.push_back(qint16(u16(i)) / 32768.0);
        }
        at = body + size + (size & 1);
    }
    if (!haveFormat || wave.samples.empty()) return std::nullopt;
    return wave;
}

double peakOf(const std::vector<double>& samples, size_t from, size_t to) {
    double peak = 0;
    for (size_t i = from; i < to && i < samples.size(); ++i) peak = std::max(peak, std::abs(samples[i]));
    return peak;
}

double decibels(double level) { return 20 * std::log10(level); }

double rmsOf(const std::vector<double>& samples) {
    double sum = 0;
    for (double s : samples) sum += s * s;
    return std::sqrt(sum / double(samples.size()));
}

// Sign changes per second: a rough measure of how high a sound is.
double crossingsPerSecond(const Wave& wave) {
    int crossings = 0;
    for (size_t i = 1; i < wave.samples.size(); ++i)
        crossings += (wave.samples[i - 1] < 0) != (wave.samples[i] < 0);
    return crossings / wave.seconds();
}

class SoundTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everySoundIsShortCleanAndLevel() {
        std::vector<Wave> waves;
        for (const QString& name : {u"si1"_s, u"si2"_s, u"si3"_s, u"si4"_s, u"no"_s}) {
            const std::optional<Wave> wave = readWave(QStringLiteral(MF_PROGRAM_DIR) + u"/suoni/"_s + name + u".wav"_s);
            QVERIFY2(wave, qPrintable(name + u": missing or not a WAV file"_s));
            QCOMPARE(wave->format, 1);
            QCOMPARE(wave->channels, 1);
            QCOMPARE(wave->bitsPerSample, 16);
            QVERIFY(wave->sampleRate >= 22050);
            QVERIFY2(wave->seconds() >= 0.3 && wave->seconds() <= (name == u"no"_s ? 0.6 : 0.9),
                     qPrintable(name + u" lasts %1 s"_s.arg(wave->seconds())));

            const double peak = peakOf(wave->samples, 0, wave->samples.size());
            QVERIFY2(decibels(peak) < -1, qPrintable(name + u" peaks at %1 dBFS"_s.arg(decibels(peak))));
            const size_t millisecond = size_t(wave->sampleRate / 1000);
            const size_t count = wave->samples.size();
            QVERIFY2(peakOf(wave->samples, 0, millisecond) < 0.3 * peak, qPrintable(name + u" starts abruptly"_s));
            QVERIFY2(peakOf(wave->samples, count - millisecond, count) < 0.05 * peak,
                     qPrintable(name + u" stops abruptly"_s));
            QVERIFY2(std::abs(wave->samples.front()) < 0.01 && std::abs(wave->samples.back()) < 0.01,
                     qPrintable(name + u" clicks at an end"_s));
            waves.push_back(*wave);
        }

        std::vector<double> levels;
        for (const Wave& wave : waves) levels.push_back(decibels(rmsOf(wave.samples)));
        const auto [softest, loudest] = std::minmax_element(levels.cbegin(), levels.cend());
        QVERIFY2(*loudest - *softest <= 3, qPrintable(u"loudness spreads over %1 dB"_s.arg(*loudest - *softest)));
        QVERIFY2(*softest > -30, "the sounds are too quiet to hear");

        for (size_t a = 0; a < 4; ++a)
            for (size_t b = a + 1; b < 4; ++b)
                QVERIFY2(waves[a].samples != waves[b].samples, "two right-answer sounds are the same");
        for (size_t right = 0; right < 4; ++right)
            QVERIFY2(crossingsPerSecond(waves[4]) < 0.7 * crossingsPerSecond(waves[right]),
                     "the wrong-answer sound is not clearly lower than a right-answer sound");
    }
};

}  // namespace

QTEST_GUILESS_MAIN(SoundTest)
#include "test_sounds.moc"
