#include "Sound.h"

#include "MediaBackend.h"
#include "MediaLoader.h"

namespace platform {
namespace {

SoundObserver& observer() {
    static SoundObserver watcher;
    return watcher;
}

}  // namespace

void PlaySoundAsync(const QString& path) {
    if (observer())
        observer()(path);
    withMediaBackend([path](MediaBackend& media) { media.playSound(path); });
}

void setSoundObserver(SoundObserver watcher) {
    observer() = std::move(watcher);
}

}  // namespace platform
