#pragma once
// The one instance of each of the program's screens, created on first use.

namespace platform {
class Screen;
}

namespace screens {

platform::Screen& FormAvvio();
platform::Screen& FormChiGioca();  // who is playing
platform::Screen& FormMenu();
// FormEs<number>, one for each row of the exercise catalogue.
platform::Screen& exercise(int number);
platform::Screen& FormEs1();
platform::Screen& FormEs2();
platform::Screen& FormEs3();
platform::Screen& FormEs4();
platform::Screen& FormEs5();
platform::Screen& FormEs6();
platform::Screen& FormEs7();

// Every exercise screen's counts back to zero, and its face away.
void ResetCounts();

}  // namespace screens
