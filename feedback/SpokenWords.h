#pragma once
// The sentences the program says aloud: the instruction of an exercise, its
// praise, the questions, and the names of the choices the focus or a switch
// reaches, taken from the section Speech of the current language file (see
// modLanguageSupport::MLSOurWord) and said in its voice while the voice is on.
// Messages (instructions, praise, questions) are said while the sounds are on
// too, and heard whole; names are said whatever the sound switch, since a
// child who scans finds the choices by them, but never while a screen reader
// speaks the focus itself. A file without the key says nothing.

#include <QString>

namespace feedback::spoken_words {

// Says the sentence of `key`, after what is being said.
void Say(const QString& key);
// Says `text` as a message (a question and its buttons).
void SayText(const QString& text);
// Says the name of a choice: the sentence of `key`, or `text` (a name the
// screen shows or tells assistive technology) where the language has no
// sentence for it.
void SayName(const QString& key, const QString& text);

// The sentence of `key` in the current language, whether the sounds are on or not.
QString Sentence(const QString& key);

// Readies the sounds while they are on, and the voice of the current language
// when the voice is on too, so that the first sound and the first sentence
// come at once (see media::prepareMedia).
void PrepareSoundAndVoice();

}  // namespace feedback::spoken_words
