#pragma once
// Asynchronous sound: start a WAV file by its path and return at once. A new
// sound stops one that is still playing. Nothing is ever reported: a missing
// file, a broken file or a machine without an audio device plays nothing.
// A file that is there is played only when it is a regular file of at most
// kSoundFileSizeMax bytes: a FIFO would hold the player, a huge file its
// memory (the refusal is logged).

#include <QString>
#include <functional>

namespace media {

// A few seconds of sound are a few hundred KiB.
inline constexpr qint64 kSoundFileSizeMax = 4 * 1024 * 1024;

void PlaySoundAsync(const QString& path);

// Tests see every path passed in, before playback is tried (so also on a
// machine without an audio device, where nothing plays).
using SoundObserver = std::function<void(const QString& path)>;
void setSoundObserver(SoundObserver observer);

}  // namespace media
