#pragma once
// The sentences the program says aloud: the instruction of an exercise and
// the names of the menu's choices, taken from the section Speech of the
// current language file (see modLanguageSupport::MLSOurWord) and said in its
// voice, only while the sounds and speech are on. A file without the key says
// nothing.

#include <QString>

namespace spoken_words {

// Says the sentence of `key`, stopping the one still being said.
void Say(const QString& key);
// Says the sentence of `key`, or `text` (a name the screen shows or tells
// assistive technology) where the language has no sentence for it.
void SayOr(const QString& key, const QString& text);

// The sentence of `key` in the current language, whether the sounds are on or not.
QString Sentence(const QString& key);

// Readies the sounds while they are on, and the voice of the current language
// when the voice is on too, so that the first sound and the first sentence
// come at once (see platform::prepareMedia).
void PrepareSoundAndVoice();

}  // namespace spoken_words
