// The length of a sound read from any bytes in its place: reading never
// crashes or hangs, and never gives more time than the file's bytes could
// play at the slowest pace a file can claim (one byte a second).

#include "FuzzCheck.h"
#include "FuzzFile.h"
#include "ModuloColoriSuoni.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzFile file(u"sound.wav");
    MF_FUZZ_CHECK(file.write(QByteArrayView(data, qsizetype(size))));
    const qint64 milliseconds = ModuloColoriSuoni::soundLength(file.path()).count();
    MF_FUZZ_CHECK(milliseconds >= 0 && milliseconds <= qint64(size) * 1000);
    return 0;
}
