#include "Sound.h"

#include "FileAccess.h"
#include "MediaBackend.h"
#include "MediaLoader.h"
#include "MediaLog.h"

#include <QFile>

namespace media {
namespace {

SoundObserver& observer() {
    static SoundObserver watcher;
    return watcher;
}

}  // namespace

void PlaySoundAsync(const QString& path) {
    if (observer())
        observer()(path);
    QFile file;
    if (settings::openRegularFile(path, kSoundFileSizeMax, file) == settings::FileOpening::Refused) {
        qCWarning(lcMedia, "sound %s not played: not a regular file of at most %lld bytes", qUtf8Printable(path),
                  kSoundFileSizeMax);
        return;
    }
    withMediaBackend([path](MediaBackend& media) { media.playSound(path); });
}

void setSoundObserver(SoundObserver watcher) {
    observer() = std::move(watcher);
}

}  // namespace media
