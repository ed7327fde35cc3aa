#include "Speech.h"

#include "MediaBackend.h"
#include "MediaLoader.h"

namespace platform {
namespace {

SpeechObserver& observer() {
    static SpeechObserver watcher;
    return watcher;
}

}  // namespace

void Speak(const QString& text, const QString& locale) {
    if (observer())
        observer()(text, locale);
    if (MediaBackend* backend = mediaBackend())
        backend->speak(text, locale);
}

// Nothing has been said before the plugin is loaded, so stopping never loads it.
void StopSpeaking() {
    if (MediaBackend* backend = loadedMediaBackend())
        backend->speak(QString(), QString());
}

void PrepareSpeech(const QString& locale) {
    if (MediaBackend* backend = mediaBackend())
        backend->prepareSpeech(locale);
}

void setSpeechObserver(SpeechObserver watcher) {
    observer() = std::move(watcher);
}

}  // namespace platform
