#pragma once
// The sounds of right and wrong answers and the palette of background colours.

#include <QString>
#include <QtGlobal>
#include <chrono>

namespace ModuloColoriSuoni {

// Whether the sound switch (Modulo1::SuoniAttivati) lets the program be
// heard: the answers' sounds, the messages said aloud and the readying of
// both. The one place that decides it; the names of the choices a switch
// reaches are said whatever it says (SpokenWords.h).
bool SoundsOn();

// One of "suoni/si1.wav" to "suoni/si4.wav" at random; nothing, and no random
// number drawn, while the sounds are switched off. Both return how long the
// sound started lasts (zero for none), so that words can wait for its end.
std::chrono::milliseconds SuonoEsatto();
// "suoni/no.wav"; nothing while the sounds are switched off.
std::chrono::milliseconds SuonoErrato();

// How long the PCM WAV file at `path` plays, from its header; zero for a file
// that is missing or no such WAV.
std::chrono::milliseconds soundLength(const QString& path);
// A background colour (0x00BBGGRR) drawn from the 18 entries of the palette.
quint32 PreparaColori();

}  // namespace ModuloColoriSuoni
