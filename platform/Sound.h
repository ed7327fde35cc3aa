#pragma once
// Asynchronous sound: start a WAV file by its path and return at once. A new
// sound stops one that is still playing. Nothing is ever reported: a missing
// file, a broken file or a machine without an audio device plays nothing.

#include <QString>
#include <functional>

namespace platform {

void PlaySoundAsync(const QString& path);

// Tests see every path that was started.
using SoundObserver = std::function<void(const QString& path)>;
void setSoundObserver(SoundObserver observer);

}  // namespace platform
