#pragma once
// Lines of 8-bit text, in memory or read from a file in pieces. CR LF, LF and
// a lone CR each end a line; a last line may have no ending. Line breaks are
// found with memchr, each byte value searched for once per piece, so that a
// long file is split at the speed of memory.

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

class QIODevice;

namespace files {

// A line of bytes in memory: where it starts, its length without its ending,
// and the length of the CR LF, LF or CR that ends it (0 for none).
struct LineSpan {
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype endingLength = 0;

    qsizetype end() const { return start + length + endingLength; }
};

// Splits bytes in memory. Lines must be asked for from the front to the back.
class LineSplitter {
public:
    explicit LineSplitter(QByteArrayView bytes = {}) : bytes_(bytes) {}

    // The line that begins at `start`; a CR that is the last byte ends its
    // line with an ending of length 1.
    LineSpan lineAt(qsizetype start);

private:
    qsizetype nextOf(char byte, qsizetype from, qsizetype& cached) const;

    QByteArrayView bytes_;
    // Where the next CR and LF were found, so that each is searched for once.
    qsizetype nextCr_ = -1;
    qsizetype nextLf_ = -1;
};

// Reads a file's lines in bounded memory: a line longer than `keep` bytes is
// cut to its first `keep` bytes, and of the rest only its last byte that is
// not a blank (space or tab) is told, which says whether a quoted value closes.
class LineReader {
public:
    struct Line {
        QByteArrayView text;  // valid until the next call of next()
        bool cut = false;
        std::optional<char> lastNonBlankCutOff;
    };

    // Reads `device` from its current position.
    LineReader(QIODevice& device, qsizetype keep);

    // Skips `prefix` (such as a byte-order mark) when the text goes on with it.
    // Only before the first line.
    void skipIfNext(QByteArrayView prefix);

    // The next line, or nothing at the end of the file (or a read error).
    std::optional<Line> next();

private:
    bool fill();
    void keepPart(QByteArrayView part, Line& line);

    QIODevice& device_;
    const qsizetype keep_;
    QByteArray piece_;
    qsizetype end_ = 0;
    qsizetype pos_ = 0;
    LineSplitter splitter_;
    QByteArray kept_;          // a line that spans pieces, or one that is cut
    bool lfEndsLine_ = false;  // the last piece ended with CR: a LF first in this one belongs to it
};

// The first line of what `device` holds from its current position (after
// `skipped`, such as a byte-order mark, when the text begins with it) that
// begins with `key`. The key is searched for with memmem, and a place it is
// found counts when a line starts there, so that the search runs at the speed
// of memory whatever the lines are like. The file is read in pieces of 1 MiB.
// The line comes without its ending, cut to its first `keep` bytes.
struct KeyLine {
    QByteArray text;
    bool cut = false;
};
std::optional<KeyLine> firstLineBeginningWith(QIODevice& device, QByteArrayView key, qsizetype keep,
                                              QByteArrayView skipped = {});

}  // namespace files
