#pragma once
// Spoken sentences, said one at a time in the voice of a locale; every call
// returns at once. A message (an instruction, praise, a question) is heard
// whole: it waits for the sentence being said, and nothing cuts it. A name
// (the choice that the focus or a scan has reached) waits for the messages,
// and gives way to a newer name: the highlight has moved on. Sounds are a
// separate channel, never cut by speech. Nothing is ever reported: a machine
// without a speech server or audio device says nothing, and nothing waits
// for the server (it is reached on a thread of its own).

#include <QString>
#include <functional>

class QObject;

namespace media {

enum class Utterance { Message, Name };

// `locale` is a locale tag such as "en_GB" or "it": the voice of that
// language and territory, else one of the language alone. A message already
// being said or waiting is not queued again. An empty text says nothing and
// stops what is being said and waiting.
void Speak(const QString& text, const QString& locale, Utterance kind = Utterance::Message);
// The pace of every sentence from now on: -100 (slowest) to 100 (fastest),
// 0 the voice's own.
void SetSpeechRate(int rate);

// Whether a sentence is being said or waits its turn.
bool Speaking();
// Calls `then` once nothing is said or waiting any more, on the main thread
// (on the next turn of the event loop when all is silent already); never
// once `context` is gone.
void WhenSilent(QObject* context, std::function<void()> then);

// Tests see every sentence passed in, before speaking is tried (so also on a
// machine without a speech engine).
using SpeechObserver = std::function<void(const QString& text, const QString& locale)>;
void setSpeechObserver(SpeechObserver observer);

// The voice that says each sentence in turn; it calls `done`, on any thread,
// once the sentence has been said, cut or found unsayable. Tests put a fake
// voice here; an empty function gives the media plugin's.
using Voice = std::function<void(const QString& text, const QString& locale, std::function<void()> done)>;
void setVoice(Voice voice);

}  // namespace media
