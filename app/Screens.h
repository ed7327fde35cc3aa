#pragma once
// The one instance of each of the program's screens, created on first use.

namespace forms {
class Screen;
}

namespace app::screens {

forms::Screen& FormAvvio();
forms::Screen& FormChiGioca();  // who is playing
forms::Screen& FormMenu();
// FormEs<number>, one for each row of the exercise catalogue.
forms::Screen& exercise(int number);
forms::Screen& FormEs1();
forms::Screen& FormEs2();
forms::Screen& FormEs3();
forms::Screen& FormEs4();
forms::Screen& FormEs5();
forms::Screen& FormEs6();
forms::Screen& FormEs7();

// Every exercise screen's counts back to zero, and its face away.
void ResetCounts();

}  // namespace app::screens
