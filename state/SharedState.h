#pragma once
// The state shared by every screen for the whole run, and the way a screen
// reaches the shell above it. Nothing here is saved between runs.

#include "Player.h"

#include <QtGlobal>
#include <functional>
#include <memory>

class clsResize;
namespace rules {
class PuzzleModel;
}

namespace Modulo1 {

extern bool SuoniAttivati;    // sound switch; True at start
extern qint16 SerieFigure;    // picture set 1 to 5, or 6: a set drawn for every puzzle
extern qint16 IndiceModello;  // index 0 to 7 of the model among Picture1(0..7)
// Right and wrong answers in the current visit of an exercise, as its
// puzzle counts them; 0 before the first visit.
qint16 ContaEsatti();
qint16 ContaErrati();
// The puzzle of the exercise being visited, whose counts those are (it
// outlives its visit; nullptr for none).
void setVisitedPuzzle(const rules::PuzzleModel* puzzle);
extern std::unique_ptr<clsResize> Ridimensiona;  // resizing of the screen loaded last

}  // namespace Modulo1

namespace state {

// What the exercise screens ask of the shell, which lies above them and fills
// these in when it starts. Until then each does nothing.
struct ShellCallbacks {
    std::function<void()> showMenu = [] {};   // back to the main menu
    std::function<void()> showAbout = [] {};  // the about box
    // Who is playing: whose level grows and whose record the answers join.
    std::function<record::Player&()> player = []() -> record::Player& {
        static record::Player nobody;
        return nobody;
    };
};

ShellCallbacks& shell();

}  // namespace state
