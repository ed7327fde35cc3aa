// The five answer sounds of the program folder: 16-bit PCM mono files of the
// right length, below full scale, free of clicks at both ends, and about
// equally loud.

#include "FileBytes.h"

#include <QtEndian>
#include <QtTest>
#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
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
    const QByteArray bytes = file_bytes::read(path);
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;
    const auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    const auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    // The format comes before the samples, so the first "data" found is the data's own.
    const qsizetype format = bytes.indexOf("fmt "), data = bytes.indexOf("data");
    if (format < 0 || data < format || format + 24 > bytes.size() || data + 8 > bytes.size())
        return std::nullopt;
    Wave wave{u16(format + 8), u16(format + 10), int(u32(format + 12)), u16(format + 22), {}};
    const qsizetype end = data + 8 + qsizetype(u32(data + 4));
    if (end > bytes.size() || wave.bitsPerSample != 16)
        return std::nullopt;
    for (qsizetype i = data + 8; i + 1 < end; i += 2)
        wave.samples.push_back(qint16(u16(i)) / 32768.0);
    if (wave.samples.empty())
        return std::nullopt;
    return wave;
}

double peakOf(const std::vector<double>& samples, size_t from, size_t to) {
    double peak = 0;
    for (size_t i = from; i < to && i < samples.size(); ++i)
        peak = std::max(peak, std::abs(samples[i]));
    return peak;
}

class SoundTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everySoundIsShortCleanAndLevel() {
        const auto decibels = [](double level) { return 20 * std::log10(level); };
        std::vector<double> levels;  // of the mean power, dBFS
        for (const QString& name : {u"si1"_s, u"si2"_s, u"si3"_s, u"si4"_s, u"no"_s}) {
            const std::optional<Wave> wave = readWave(QStringLiteral(MF_PROGRAM_DIR) + u"/suoni/"_s + name + u".wav"_s);
            QVERIFY2(wave, qPrintable(name + u": missing or not a WAV file"_s));
            // PCM, mono, 16 bits.
            QCOMPARE((std::array{wave->format, wave->channels, wave->bitsPerSample}), (std::array{1, 1, 16}));
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
            const double power =
                std::inner_product(wave->samples.cbegin(), wave->samples.cend(), wave->samples.cbegin(), 0.0) /
                double(count);
            levels.push_back(decibels(std::sqrt(power)));
        }
        const auto [softest, loudest] = std::minmax_element(levels.cbegin(), levels.cend());
        QVERIFY2(*loudest - *softest <= 3, qPrintable(u"loudness spreads over %1 dB"_s.arg(*loudest - *softest)));
        QVERIFY2(*softest > -30, "the sounds are too quiet to hear");
    }
};

}  // namespace

QTEST_GUILESS_MAIN(SoundTest)
#include "tst_assets_sounds.moc"
