// Synthesises the answer sounds into <program folder>/suoni: four cheerful
// sounds for a right answer (si1.wav to si4.wav) and a soft, low one for a
// wrong answer (no.wav). 16-bit PCM, mono, 44100 Hz; every sound is brought
// to the same loudness, kept below full scale, and faded in and out so that
// it starts and stops without a click.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kSampleRate = 44100;
constexpr double kTargetRms = 0.14;  // -17 dBFS
constexpr double kPeakLimit = 0.80;  // about -1.9 dBFS
constexpr double kFadeIn = 0.004;
constexpr double kFadeOut = 0.030;

enum class Timbre {
    Bell,     // struck, bright, dies away
    Brass,    // held, rich in harmonics, with a little vibrato
    Twinkle,  // very short and high
    Bounce,   // a note that springs up into its pitch
    Soft,     // round and quiet: the wrong answer
};

struct Note {
    double start;     // seconds
    double duration;  // seconds, release included
    double frequency;
    double level;
    Timbre timbre;
};

struct Partial {
    double ratio;
    double level;
};

std::vector<Partial> partialsOf(Timbre timbre) {
    switch (timbre) {
    case Timbre::Bell:
        return {{1, 1}, {2, 0.35}, {3, 0.12}, {4.2, 0.06}};
    case Timbre::Brass:
        return {{1, 1}, {2, 0.5}, {3, 0.33}, {4, 0.2}, {5, 0.1}};
    case Timbre::Twinkle:
        return {{1, 1}, {2, 0.15}};
    case Timbre::Bounce:
        return {{1, 1}, {2, 0.3}, {3, 0.1}};
    case Timbre::Soft:
        return {{1, 1}, {2, 0.12}};
    }
    return {};
}

double envelope(Timbre timbre, double t, double duration) {
    const auto ramp = [](double x) { return std::clamp(x, 0.0, 1.0); };
    switch (timbre) {
    case Timbre::Bell:
        return ramp(t / 0.004) * std::exp(-t / (duration * 0.35));
    case Timbre::Twinkle:
        return ramp(t / 0.002) * std::exp(-t / 0.05);
    case Timbre::Brass:
        return ramp(t / 0.02) * ramp((duration - t) / 0.06) * (1 - 0.25 * t / duration);
    case Timbre::Bounce:
        return ramp(t / 0.006) * ramp((duration - t) / 0.05) * std::exp(-t / (duration * 0.6));
    case Timbre::Soft:
        return std::sin(std::numbers::pi * ramp(t / duration)) * std::exp(-t / duration);
    }
    return 0;
}

double frequencyAt(const Note& note, double t) {
    switch (note.timbre) {
    case Timbre::Brass:
        return note.frequency * (1 + 0.004 * std::sin(2 * std::numbers::pi * 5.5 * t));
    case Timbre::Bounce:
        return note.frequency * (1 - 0.12 * std::exp(-t / 0.02));
    default:
        return note.frequency;
    }
}

std::vector<double> render(const std::vector<Note>& notes, double length) {
    std::vector<double> samples(size_t(length * kSampleRate), 0.0);
    for (const Note& note : notes) {
        const std::vector<Partial> partials = partialsOf(note.timbre);
        const size_t first = size_t(note.start * kSampleRate);
        const size_t count = size_t(note.duration * kSampleRate);
        double phase = 0;
        for (size_t i = 0; i < count && first + i < samples.size(); ++i) {
            const double t = double(i) / kSampleRate;
            double value = 0;
            for (const Partial& partial : partials)
                if (note.frequency * partial.ratio < kSampleRate / 2.5)
                    value += partial.level * std::sin(partial.ratio * phase);
            // Every note starts and ends on a short ramp, so that no edge clicks.
            const double edges = std::clamp(std::min(t / 0.003, (note.duration - t) / 0.03), 0.0, 1.0);
            samples[first + i] += note.level * edges * envelope(note.timbre, t, note.duration) * value;
            phase += 2 * std::numbers::pi * frequencyAt(note, t) / kSampleRate;
        }
    }
    return samples;
}

void levelAndFade(std::vector<double>& samples) {
    double sumOfSquares = 0, peak = 0;
    for (double s : samples) {
        sumOfSquares += s * s;
        peak = std::max(peak, std::abs(s));
    }
    const double rms = std::sqrt(sumOfSquares / double(samples.size()));
    const double gain = std::min(kTargetRms / rms, kPeakLimit / peak);
    const size_t fadeIn = size_t(kFadeIn * kSampleRate), fadeOut = size_t(kFadeOut * kSampleRate);
    for (size_t i = 0; i < samples.size(); ++i) {
        double fade = 1;
        if (i < fadeIn)
            fade = double(i) / double(fadeIn);
        const size_t fromEnd = samples.size() - 1 - i;
        if (fromEnd < fadeOut)
            fade = std::min(fade, 0.5 - 0.5 * std::cos(std::numbers::pi * double(fromEnd) / double(fadeOut)));
        samples[i] *= gain * fade;
    }
}

void putLittleEndian(std::string& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes.push_back(char((value >> (8 * i)) & 0xff));
}

bool writeWav(const std::filesystem::path& path, const std::vector<double>& samples) {
    const auto dataSize = uint32_t(samples.size() * 2);
    std::string bytes = "RIFF";
    putLittleEndian(bytes, 36 + dataSize, 4);
    bytes += "WAVEfmt ";
    putLittleEndian(bytes, 16, 4);
    putLittleEndian(bytes, 1, 2);  // PCM
    putLittleEndian(bytes, 1, 2);  // mono
    putLittleEndian(bytes, kSampleRate, 4);
    putLittleEndian(bytes, kSampleRate * 2, 4);
    putLittleEndian(bytes, 2, 2);
    putLittleEndian(bytes, 16, 2);
    bytes += "data";
    putLittleEndian(bytes, dataSize, 4);
    for (double s : samples)
        putLittleEndian(bytes, uint32_t(uint16_t(int16_t(std::lround(std::clamp(s, -1.0, 1.0) * 32767)))), 2);
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), std::streamsize(bytes.size()));
    if (!file.flush())
        return false;
    // Every user of the program reads the sounds, whatever the umask.
    std::error_code error;
    std::filesystem::permissions(path, std::filesystem::perms(0644), error);
    return !error;
}

constexpr double C4 = 261.63, E4 = 329.63, G4 = 392.00, C5 = 523.25, E5 = 659.25, G5 = 783.99, C6 = 1046.50,
                 D6 = 1174.66, E6 = 1318.51, G6 = 1567.98, A6 = 1760.00, C7 = 2093.00;

struct Sound {
    const char* file;
    double length;
    std::vector<Note> notes;
};

std::vector<Sound> sounds() {
    using enum Timbre;
    return {
        {"si1.wav",
         0.75,  // a rising chime
         {{0.00, 0.45, C5, 0.6, Bell},
          {0.09, 0.45, E5, 0.6, Bell},
          {0.18, 0.45, G5, 0.6, Bell},
          {0.27, 0.48, C6, 0.7, Bell}}},
        {"si2.wav",
         0.85,  // a little fanfare
         {{0.00, 0.11, G4, 0.5, Brass},
          {0.12, 0.11, C5, 0.5, Brass},
          {0.24, 0.11, E5, 0.5, Brass},
          {0.36, 0.48, G5, 0.5, Brass},
          {0.36, 0.48, C5, 0.25, Brass},
          {0.36, 0.48, E5, 0.25, Brass}}},
        {"si3.wav",
         0.60,  // a sparkle
         {{0.00, 0.30, C6, 0.5, Twinkle},
          {0.045, 0.30, D6, 0.5, Twinkle},
          {0.09, 0.30, E6, 0.5, Twinkle},
          {0.135, 0.30, G6, 0.5, Twinkle},
          {0.18, 0.30, A6, 0.5, Twinkle},
          {0.225, 0.30, C7, 0.5, Twinkle},
          {0.30, 0.30, G6, 0.4, Twinkle},
          {0.36, 0.24, C7, 0.4, Twinkle},
          {0.00, 0.58, C5, 0.12, Bell}}},
        {"si4.wav",
         0.65,  // a bouncy "ta-da"
         {{0.00, 0.13, G5, 0.6, Bounce},
          {0.17, 0.46, C6, 0.6, Bounce},
          {0.17, 0.46, E5, 0.25, Bounce},
          {0.17, 0.46, G5, 0.2, Bounce}}},
        {"no.wav",
         0.45,  // two soft falling notes: "not quite"
         {{0.00, 0.22, E4, 0.6, Soft}, {0.19, 0.26, C4, 0.6, Soft}}},
    };
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <program folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / "suoni";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    // Every user of the program opens this folder, whatever the umask.
    std::filesystem::permissions(folder, std::filesystem::perms(0755), error);
    for (const Sound& sound : sounds()) {
        std::vector<double> samples = render(sound.notes, sound.length);
        levelAndFade(samples);
        if (!writeWav(folder / sound.file, samples)) {
            std::fprintf(stderr, "cannot write %s\n", (folder / sound.file).c_str());
            return 1;
        }
    }
    return 0;
}
