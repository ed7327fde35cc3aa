#pragma once
// The program-wide generator of numbers uniform in [0, 1).

#include <QtGlobal>

namespace platform {

double Rnd();
void Randomize();               // seeds from the clock
void seedRandom(quint64 seed);  // a fixed seed, for tests

}  // namespace platform
