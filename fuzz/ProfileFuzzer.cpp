// The profile reader and writer on any file. The input's first line names a
// section, its second a key, its third a value; the rest is the file. Reading
// never crashes and never gives more than the cap; after a successful write
// the key reads back as written and every other line of the file is kept
// byte for byte (in the file's own encoding).

#include "FuzzCheck.h"
#include "FuzzFile.h"
#include "LineReader.h"
#include "Profile.h"
#include "Text8Bit.h"

#include <QList>
#include <cstddef>
#include <cstdint>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

std::optional<FuzzFile> inputFile;

// The next line of `input`, which then begins after it.
QString takeLine(QByteArrayView& input) {
    const qsizetype end = input.indexOf('\n');
    const QByteArrayView line = end < 0 ? input : input.first(end);
    input = end < 0 ? QByteArrayView() : input.sliced(end + 1);
    return QString::fromUtf8(line);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file's lines with their endings; UTF-16 is compared as UTF-8.
QList<QByteArrayView> linesOf(const QByteArray& bytes, QByteArray& utf8) {
    QByteArrayView text = bytes;
    if (const auto byteOrder = files::utf16ByteOrder(bytes)) {
        utf8 = files::decodeUtf16(bytes, *byteOrder).toUtf8();
        text = utf8;
    }
    QList<QByteArrayView> lines;
    files::LineSplitter splitter(text);
    for (qsizetype at = 0; at < text.size();) {
        const files::LineSpan line = splitter.lineAt(at);
        lines.append(text.sliced(at, line.end() - at));
        at = line.end();
    }
    return lines;
}

// At most one line of `before` differs from `after`: the written entry's, or
// a last line that was given an ending; at most three lines are new (a
// section, the entry and the last line with its ending).
bool onlyTheEntryChanged(const QByteArray& before, const QByteArray& after) {
    QByteArray beforeUtf8;
    QByteArray afterUtf8;
    const QList<QByteArrayView> old = linesOf(before, beforeUtf8);
    const QList<QByteArrayView> now = linesOf(after, afterUtf8);
    qsizetype same = 0;
    while (same < old.size() && same < now.size() && old[same] == now[same])
        ++same;
    qsizetype sameAtEnd = 0;
    while (sameAtEnd < old.size() - same && sameAtEnd < now.size() - same &&
           old[old.size() - 1 - sameAtEnd] == now[now.size() - 1 - sameAtEnd])
        ++sameAtEnd;
    return old.size() - same - sameAtEnd <= 1 && now.size() - same - sameAtEnd <= 3;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    inputFile.emplace(u"profile.ini");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArrayView input(data, qsizetype(size));
    const QString section = takeLine(input);
    const QString key = takeLine(input);
    const QString value = takeLine(input);
    if (!inputFile->write(input))
        return 0;

    const QString read = files::GetPrivateProfileString(section, key, u"-"_s, inputFile->path());
    MF_FUZZ_CHECK(read.size() <= files::kProfileValueMax && wholeCharacters(read));

    const QByteArray before = input.toByteArray();
    if (!files::WritePrivateProfileString(section, key, value, inputFile->path()))
        return 0;
    MF_FUZZ_CHECK(files::GetPrivateProfileString(section, key, u"-"_s, inputFile->path()) ==
                  files::limitedValue(value));
    const QByteArray after = readAll(inputFile->path());
    // An 8-bit file that had to become UTF-8 keeps the text of its lines, not their bytes.
    if (files::utf16ByteOrder(before) || files::detectTextEncoding(before) != files::TextEncoding::Windows1252 ||
        files::detectTextEncoding(after) == files::TextEncoding::Windows1252)
        MF_FUZZ_CHECK(onlyTheEntryChanged(before, after));
    return 0;
}
