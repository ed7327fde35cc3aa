#pragma once
// The state shared by every screen for the whole run, and the start-up, about
// and exit routines. Nothing here is saved between runs.

#include <QtGlobal>
#include <memory>

class clsResize;

namespace Modulo1 {

extern bool SuoniAttivati;                       // sound switch; True at start
extern qint16 SerieFigure;                       // picture set 1 to 5, or 6: a set drawn for every puzzle
extern qint16 IndiceModello;                     // index 0 to 7 of the model among Picture1(0..7)
extern qint16 ContaEsatti;                       // right answers in the current visit of an exercise
extern qint16 ContaErrati;                       // wrong answers in the current visit of an exercise
extern std::unique_ptr<clsResize> Ridimensiona;  // resizing of the screen loaded last

// The program's entry routine: refuses a second running copy, sets the
// defaults and shows the start screen. Returns false when the program is to
// end at once (another copy is running).
bool Main();

// The about box.
void MostraInformazioni();

// Asks whether to quit; ends the program on Yes, returns on No.
void ConfermaUscita();

}  // namespace Modulo1
