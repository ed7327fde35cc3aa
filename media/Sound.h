#pragma once
// Asynchronous sound: start a WAV file by its path and return at once. A new
// sound stops one that is still playing. Nothing is ever reported: a missing
// file, a broken file or a machine without an audio device plays nothing.

#include <QString>
#include <functional>

namespace platform {

void PlaySoundAsync(const QString& path);

// Tests see every path passed in, before playback is tried (so also on a
// machine without an audio device, where nothing plays).
using SoundObserver = std::function<void(const QString& path)>;
void setSoundObserver(SoundObserver observer);

}  // namespace platform
