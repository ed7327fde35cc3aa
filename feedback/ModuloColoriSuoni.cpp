#include "ModuloColoriSuoni.h"

#include "DataFiles.h"
#include "FileAccess.h"
#include "Random.h"
#include "SharedState.h"
#include "Sound.h"
#include "WaveFile.h"

#include <QFile>
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

std::chrono::milliseconds play(const QString& name) {
    const QString path = files::soundPath(name);
    media::PlaySoundAsync(path);
    return soundLength(path);
}

}  // namespace

bool SoundsOn() {
    return Modulo1::SuoniAttivati;
}

std::chrono::milliseconds SuonoEsatto() {
    if (!SoundsOn())
        return {};
    const int choice = media::IndexFrom(media::Rnd(), 4) + 1;
    return play(u"si"_s + QString::number(choice));
}

std::chrono::milliseconds SuonoErrato() {
    if (!SoundsOn())
        return {};
    return play(u"no"_s);
}

std::chrono::milliseconds soundLength(const QString& path) {
    QFile file;
    if (settings::openRegularFile(path, media::kSoundFileSizeMax, file) != settings::FileOpening::Opened)
        return {};
    const std::optional<media::WaveSound> sound = media::readWaveHeader(file);
    return sound ? sound->length() : std::chrono::milliseconds();
}

quint32 PreparaColori() {
    return kPalette[static_cast<std::size_t>(media::IndexFrom(media::Rnd(), static_cast<int>(kPalette.size())))];
}

}  // namespace ModuloColoriSuoni
