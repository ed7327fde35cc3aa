#pragma once
// The start-up, about and exit routines of the shell. The state they share
// with every screen is in SharedState.h.

#include <QString>

namespace Modulo1 {

// The program's entry routine: refuses a second running copy, sets the
// defaults, connects the exercise screens to the shell and shows the start
// screen. Returns false when the program is to end at once (another copy is
// running).
bool Main();

// How this run starts when a flag says so: in a language other than the one
// kept (for this run only; a choice on the menu is kept as ever), and straight
// in an exercise (1 to ExerciseCount(); 0: the start screen).
struct Start {
    QString language;
    int exercise = 0;
};
Start& RunStart();
int ExerciseCount();
// The language this run starts in: the flag's, else the one kept or the system's.
QString StartLanguage();

// The program's icon, for every window without one of its own. The start
// screen sets it once it has shown its first picture.
void SetProgramIcon();

// The about box.
void MostraInformazioni();

// The program's version in the current language's words ("Version 1.0").
QString Versione();

// Asks whether to quit; ends the program on Yes, returns on No.
void ConfermaUscita();

}  // namespace Modulo1
