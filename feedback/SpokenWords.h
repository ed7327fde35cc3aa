#pragma once
// The sentences the program says aloud: the instruction of an exercise and
// the names of the menu's choices, taken from the section Speech of the
// current language file and said in its voice, only while the sounds are on.
// A file without the key says nothing.

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace spoken_words {

inline constexpr const char* kColour = "Colour";
inline constexpr const char* kSize = "Size";
inline constexpr const char* kShape = "Shape";
inline constexpr const char* kSame = "Same";
inline constexpr const char* kEverything = "Everything";

// The instruction for one change: 1 colour, 2 size, 3 shape, 4 none; empty otherwise.
QString singleChangeKey(qint16 kind);
// The instruction for two changes drawn in this order (1 colour, 2 size, 3 shape).
QString twoChangesKey(qint16 first, qint16 second);
// Every key the program may say, the menu's names included (named like their controls).
QStringList allKeys();

// Says the sentence of `key`, stopping the one still being said.
void Say(const QString& key);

// Readies the voice of the current language while the sounds are on, so that
// the first sentence comes at once (see platform::PrepareSpeech).
void PrepareVoice();

}  // namespace spoken_words
