#pragma once
// Spoken sentences: say a text in the voice of a locale and return at once.
// A new sentence stops the one still being spoken; sounds are a separate
// channel and are never cut by speech. Nothing is ever reported: a machine
// without a speech server or audio device says nothing, and nothing waits
// for the server (it is reached on a thread of its own).

#include <QString>
#include <functional>

namespace platform {

// `locale` is a locale tag such as "en_GB" or "it": the voice of that
// language and territory, else one of the language alone. An empty text says
// nothing and stops what is being said.
void Speak(const QString& text, const QString& locale);
// The pace of every sentence from now on: -100 (slowest) to 100 (fastest),
// 0 the voice's own.
void SetSpeechRate(int rate);
// Tests see every sentence passed in, before speaking is tried (so also on a
// machine without a speech engine).
using SpeechObserver = std::function<void(const QString& text, const QString& locale)>;
void setSpeechObserver(SpeechObserver observer);

}  // namespace platform
