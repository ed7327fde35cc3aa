// The line scan of large language files on any lines: the input's first line
// is the key, the rest the file, padded past the size at which lookups scan
// lines. A lookup never crashes, never gives more than the cap and never
// half a character.

#include "FuzzCheck.h"
#include "FuzzFile.h"
#include "Profile.h"
#include "modLanguageSupport.h"

#include <cstddef>
#include <cstdint>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

std::optional<FuzzFile> inputFile;
const QByteArray padding = "\n;" + QByteArray(64000, 'p');

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    inputFile.emplace(u"scan.lng");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView input(data, qsizetype(size));
    const qsizetype keyEnd = input.indexOf('\n');
    if (keyEnd < 0)
        return 0;
    const QString key = QString::fromUtf8(input.first(keyEnd));
    if (!inputFile->write(QByteArray(input.sliced(keyEnd + 1).toByteArray() + padding)))
        return 0;
    const std::optional<QString> text = modLanguageSupport::MLSReadIni(inputFile->path(), u"Strings"_s, key);
    MF_FUZZ_CHECK(text && text->size() <= files::kProfileValueMax && wholeCharacters(*text));
    return 0;
}
