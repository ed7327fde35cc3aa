#include "Random.h"

#include <chrono>
#include <cmath>
#include <random>

namespace media {
namespace {

std::mt19937_64& generator() {
    static std::mt19937_64 engine;
    return engine;
}

}  // namespace

double Rnd() {
    // The top 53 bits scaled by 2^-53: every double in [0, 1) on that grid is
    // equally likely and 1.0 never comes.
    return static_cast<double>(generator()() >> 11) * 0x1.0p-53;
}

int IndexFrom(double uniform, int count) {
    return qBound(0, static_cast<int>(std::floor(uniform * count)), count - 1);
}

void Randomize() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    std::seed_seq sequence{static_cast<quint32>(nanoseconds),
                           static_cast<quint32>(static_cast<quint64>(nanoseconds) >> 32)};
    generator().seed(sequence);
}

void seedRandom(quint64 seed) {
    generator().seed(seed);
}

}  // namespace media
