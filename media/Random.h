#pragma once
// The program-wide generator of numbers uniform in [0, 1).

#include <QtGlobal>

namespace media {

double Rnd();
// An index 0 to count - 1 from a number uniform in [0, 1), each equally likely;
// stays in range whatever the number.
int IndexFrom(double uniform, int count);
void Randomize();               // seeds from the clock
void seedRandom(quint64 seed);  // a fixed seed, for tests

}  // namespace media
