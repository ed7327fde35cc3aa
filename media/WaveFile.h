#pragma once
// The sounds are WAV files: a RIFF header, then chunks of a four-letter name
// and a 32-bit length; "fmt " describes the samples, "data" holds them. One
// reader serves both the length the program waits for after a sound and the
// player that plays it, so that the two never disagree about a file.

#include <QtGlobal>
#include <chrono>
#include <optional>

class QIODevice;

namespace media {

struct WaveSound {
    quint16 format = 0;  // 1: integer PCM, the only kind played
    quint16 channels = 0;
    quint32 sampleRate = 0;
    quint32 bytesPerSecond = 0;
    quint16 bitsPerSample = 0;
    qint64 dataStart = 0;  // where the samples begin in the file
    // As many bytes of samples as the file holds, whatever its header claims:
    // a file cut short plays only the samples it has.
    qint64 dataBytes = 0;

    // How long the samples play; nothing when the header gives no pace.
    std::chrono::milliseconds length() const;
};

// Reads `file` from its start up to its samples; nothing when it is no WAV
// file or has no "data" chunk. A "data" chunk before any "fmt " gives a sound
// of unknown format (format 0), which plays for no time.
std::optional<WaveSound> readWaveHeader(QIODevice& file);

}  // namespace media
