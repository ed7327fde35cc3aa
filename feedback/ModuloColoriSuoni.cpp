#include "ModuloColoriSuoni.h"

#include "DataFiles.h"
#include "Random.h"
#include "SharedState.h"
#include "Sound.h"

#include <QString>
#include <array>

using namespace Qt::Literals::StringLiterals;

namespace ModuloColoriSuoni {

namespace {

// Some colours stand more than once, so they come more often.
constexpr std::array<quint32, 18> kPalette = {
    0xC0C0FF, 0x8080FF, 0x8080FF, 0x80C0FF, 0x0080FF, 0xC0FFFF, 0x00FFFF, 0x0040C0, 0x80FF80,
    0x00FFFF, 0xFFFFC0, 0xFFFF00, 0xFFC0C0, 0xFFC0FF, 0xFFC0FF, 0xE0E0E0, 0xFFC0FF, 0xFF00FF,
};

}  // namespace

void SuonoEsatto() {
    if (!Modulo1::SuoniAttivati)
        return;
    const int choice = platform::IndexFrom(platform::Rnd(), 4) + 1;
    platform::PlaySoundAsync(platform::soundPath(u"si"_s + QString::number(choice)));
}

void SuonoErrato() {
    if (!Modulo1::SuoniAttivati)
        return;
    platform::PlaySoundAsync(platform::soundPath(u"no"_s));
}

quint32 PreparaColori() {
    return kPalette[static_cast<std::size_t>(platform::IndexFrom(platform::Rnd(), static_cast<int>(kPalette.size())))];
}

}  // namespace ModuloColoriSuoni
