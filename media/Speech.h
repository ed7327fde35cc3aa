#pragma once
// Spoken sentences: say a text in the voice of a locale and return at once.
// A new sentence stops the one still being spoken; sounds are a separate
// channel and are never cut by speech. Nothing is ever reported: a machine
// without a speech engine or audio device says nothing, and nothing waits
// for the engine (it is made after start-up, at PrepareSpeech or at the first
// sentence).

#include <QString>
#include <functional>

namespace platform {

// `locale` is a language tag such as "it" or "en"; an empty text says nothing
// and stops what is being said.
void Speak(const QString& text, const QString& locale);
void StopSpeaking();
// Makes the engine and picks the voice of `locale` now, in the background: the
// engine lists every voice it has before its first sentence, which takes
// seconds, and the first name a child points at on the menu must not come
// that late. Loads the media plugin, so it is called once the first screen is
// painted, never on the way to it.
void PrepareSpeech(const QString& locale);

// Tests see every sentence passed in, before speaking is tried (so also on a
// machine without a speech engine).
using SpeechObserver = std::function<void(const QString& text, const QString& locale)>;
void setSpeechObserver(SpeechObserver observer);

}  // namespace platform
