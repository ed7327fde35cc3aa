#include "Speech.h"

#include "MediaBackend.h"
#include "MediaLoader.h"

namespace platform {
namespace {

int speechRate = 0;

SpeechObserver& observer() {
    static SpeechObserver watcher;
    return watcher;
}

}  // namespace

void Speak(const QString& text, const QString& locale) {
    if (observer())
        observer()(text, locale);
    withMediaBackend([text, locale, rate = speechRate](MediaBackend& media) { media.speak(text, locale, rate); });
}

void SetSpeechRate(int rate) {
    speechRate = rate;
}

void setSpeechObserver(SpeechObserver watcher) {
    observer() = std::move(watcher);
}

}  // namespace platform
