#include "Speech.h"

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
}

void StopSpeaking() {}

void setSpeechObserver(SpeechObserver watcher) {
    observer() = std::move(watcher);
}

}  // namespace platform
