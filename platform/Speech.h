#pragma once
// Spoken sentences: say a text in the voice of a locale and return at once.
// A new sentence stops the one still being spoken; sounds are a separate
// channel and are never cut by speech. Nothing is ever reported: a machine
// without a speech engine or audio device says nothing, and nothing waits
// for the engine (it is made at the first sentence, not at start-up).

#include <QString>
#include <functional>

namespace platform {

// `locale` is a language tag such as "it" or "en"; an empty text says nothing
// and stops what is being said.
void Speak(const QString& text, const QString& locale);
void StopSpeaking();

// Tests see every sentence passed in, before speaking is tried (so also on a
// machine without a speech engine).
using SpeechObserver = std::function<void(const QString& text, const QString& locale)>;
void setSpeechObserver(SpeechObserver observer);

}  // namespace platform
