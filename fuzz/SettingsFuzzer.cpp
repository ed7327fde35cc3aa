// The parent's settings file read from any bytes: reading never crashes and
// gives only values in their ranges, or says the file cannot be read; what was
// read, written back, reads again the same.

#include "FuzzCheck.h"
#include "FuzzFile.h"
#include "Settings.h"

#include <cstddef>
#include <cstdint>

using namespace Qt::Literals::StringLiterals;

namespace {

bool inRanges(const settings::Settings& read) {
    using namespace settings;
    const auto within = [](int value, int lowest, int highest) { return value >= lowest && value <= highest; };
    return within(int(read.scan), int(Scan::Off), int(Scan::Step)) &&
           within(read.scanIntervalMs, kMinScanIntervalMs, kMaxScanIntervalMs) &&
           within(read.speechRate, kMinSpeechRate, kMaxSpeechRate) &&
           within(int(read.screenReader), int(ScreenReader::Auto), int(ScreenReader::Off)) &&
           within(read.pictureSet, 1, 6) && within(int(read.level), int(Level::One), int(Level::Grows)) &&
           within(read.reachedLevel, kMinLevel, kMaxLevel);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzFile file(u"metamorfine.conf");
    MF_FUZZ_CHECK(file.write(QByteArrayView(data, qsizetype(size))));
    const std::optional<settings::Settings> read = settings::readStored(file.path());
    if (!read)
        return 0;
    MF_FUZZ_CHECK(inRanges(*read));
    MF_FUZZ_CHECK(settings::write(*read, file.path()));
    const std::optional<settings::Settings> again = settings::readStored(file.path());
    MF_FUZZ_CHECK(again && *again == *read);
    return 0;
}
