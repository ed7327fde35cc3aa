#include "WaveFile.h"

#include <QByteArray>
#include <QIODevice>
#include <QtEndian>

namespace media {

std::chrono::milliseconds WaveSound::length() const {
    return bytesPerSecond ? std::chrono::milliseconds(dataBytes * 1000 / bytesPerSecond) : std::chrono::milliseconds();
}

std::optional<WaveSound> readWaveHeader(QIODevice& file) {
    const auto number16 = [](const QByteArray& bytes, qsizetype at) {
        return qFromLittleEndian<quint16>(bytes.constData() + at);
    };
    const auto number32 = [](const QByteArray& bytes, qsizetype at) {
        return qFromLittleEndian<quint32>(bytes.constData() + at);
    };
    const QByteArray header = file.read(12);
    if (header.size() < 12 || !header.startsWith("RIFF") || header.mid(8, 4) != "WAVE")
        return std::nullopt;
    WaveSound sound;
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(8);
        if (chunk.size() < 8)
            break;
        const quint32 length = number32(chunk, 4);
        if (chunk.startsWith("data")) {
            sound.dataStart = file.pos();
            sound.dataBytes = qMin(qint64(length), file.size() - file.pos());
            return sound;
        }
        const qint64 padded = qint64(length) + (length & 1);
        if (chunk.startsWith("fmt ") && length >= 12) {
            // Format, channels, samples and bytes a second; then the bytes of
            // one frame and the bits of one sample, where the chunk has them.
            const qint64 wanted = length >= 16 ? 16 : 12;
            const QByteArray format = file.read(wanted);
            if (format.size() < wanted)
                break;
            sound.format = number16(format, 0);
            sound.channels = number16(format, 2);
            sound.sampleRate = number32(format, 4);
            sound.bytesPerSecond = number32(format, 8);
            sound.bitsPerSample = wanted == 16 ? number16(format, 14) : 0;
            if (file.skip(padded - wanted) != padded - wanted)
                break;
        } else if (file.skip(padded) != padded) {
            break;
        }
    }
    return std::nullopt;
}

}  // namespace media
