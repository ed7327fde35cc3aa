#include "ModuloColoriSuoni.h"

#include "DataFiles.h"
#include "FileAccess.h"
#include "Random.h"
#include "SharedState.h"
#include "Sound.h"

#include <QFile>
#include <QString>
#include <QtEndian>
#include <array>

using namespace Qt::Literals::StringLiterals;

namespace ModuloColoriSuoni {

namespace {

// Some colours stand more than once, so they come more often.
constexpr std::array<quint32, 18> kPalette = {
    0xC0C0FF, 0x8080FF, 0x8080FF, 0x80C0FF, 0x0080FF, 0xC0FFFF, 0x00FFFF, 0x0040C0, 0x80FF80,
    0x00FFFF, 0xFFFFC0, 0xFFFF00, 0xFFC0C0, 0xFFC0FF, 0xFFC0FF, 0xE0E0E0, 0xFFC0FF, 0xFF00FF,
};

std::chrono::milliseconds play(const QString& name) {
    const QString path = platform::soundPath(name);
    platform::PlaySoundAsync(path);
    return soundLength(path);
}

}  // namespace

bool SoundsOn() {
    return Modulo1::SuoniAttivati;
}

std::chrono::milliseconds SuonoEsatto() {
    if (!SoundsOn())
        return {};
    const int choice = platform::IndexFrom(platform::Rnd(), 4) + 1;
    return play(u"si"_s + QString::number(choice));
}

std::chrono::milliseconds SuonoErrato() {
    if (!SoundsOn())
        return {};
    return play(u"no"_s);
}

std::chrono::milliseconds soundLength(const QString& path) {
    QFile file;
    if (platform::openRegularFile(path, platform::kSoundFileSizeMax, file) != platform::FileOpening::Opened)
        return {};
    // RIFF header, then chunks of a four-letter name and a 32-bit length:
    // "fmt " holds the bytes per second, "data" the samples.
    const auto number = [](const QByteArray& bytes, qsizetype at) {
        return qFromLittleEndian<quint32>(bytes.constData() + at);
    };
    const QByteArray header = file.read(12);
    if (header.size() < 12 || !header.startsWith("RIFF") || header.mid(8, 4) != "WAVE")
        return {};
    quint32 bytesPerSecond = 0;
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(8);
        if (chunk.size() < 8)
            break;
        const quint32 length = number(chunk, 4);
        if (chunk.startsWith("data")) {
            // A file cut short plays only the samples it has.
            const qint64 samples = qMin(qint64(length), file.size() - file.pos());
            return bytesPerSecond ? std::chrono::milliseconds(samples * 1000 / bytesPerSecond)
                                  : std::chrono::milliseconds();
        }
        const qint64 padded = qint64(length) + (length & 1);
        if (chunk.startsWith("fmt ") && length >= 12) {
            const QByteArray format = file.read(12);
            if (format.size() < 12)
                break;
            bytesPerSecond = number(format, 8);
            file.skip(padded - 12);
        } else if (file.skip(padded) != padded) {
            break;
        }
    }
    return {};
}

quint32 PreparaColori() {
    return kPalette[static_cast<std::size_t>(platform::IndexFrom(platform::Rnd(), static_cast<int>(kPalette.size())))];
}

}  // namespace ModuloColoriSuoni
