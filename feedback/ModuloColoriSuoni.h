#pragma once
// The sounds of right and wrong answers and the palette of background colours.

#include <QtGlobal>

namespace ModuloColoriSuoni {

// One of "suoni/si1.wav" to "suoni/si4.wav" at random; nothing, and no random
// number drawn, while the sounds are switched off.
void SuonoEsatto();
// "suoni/no.wav"; nothing while the sounds are switched off.
void SuonoErrato();
// A background colour (0x00BBGGRR) drawn from the 18 entries of the palette.
quint32 PreparaColori();

}  // namespace ModuloColoriSuoni
