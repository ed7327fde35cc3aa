#include "LineReader.h"

#include <QIODevice>
#include <algorithm>
#include <cstring>

namespace files {
namespace {

// Lines are read in pieces of this size.
constexpr qsizetype kPieceSize = 64 * 1024;

bool isBlank(char byte) {
    return byte == ' ' || byte == '\t';
}

bool endsLine(char byte) {
    return byte == '\r' || byte == '\n';
}

// The key search reads pieces of this size.
constexpr qsizetype kSearchPieceSize = 1024 * 1024;

// Reads up to a piece from `device` onto the end of `buffer`; false at the end.
bool readPiece(QIODevice& device, QByteArray& buffer) {
    const qsizetype kept = buffer.size();
    buffer.resize(kept + kSearchPieceSize);
    const qint64 read = std::max<qint64>(device.read(buffer.data() + kept, kSearchPieceSize), 0);
    buffer.resize(kept + read);
    return read > 0;
}

// The rest of the line that begins at `start` of `buffer`, reading on while
// it has no ending; what lies beyond `keep` bytes is only passed over.
KeyLine lineFrom(QIODevice& device, QByteArray& buffer, qsizetype start, qsizetype keep) {
    KeyLine line;
    for (;;) {
        const QByteArrayView rest = QByteArrayView(buffer).sliced(start);
        const auto stop = std::find_if(rest.begin(), rest.end(), endsLine);
        const QByteArrayView part = rest.first(stop - rest.begin());
        const qsizetype room = std::max<qsizetype>(keep - line.text.size(), 0);
        line.cut = line.cut || part.size() > room;
        line.text.append(part.first(std::min(room, part.size())));
        if (stop != rest.end())
            return line;
        buffer.clear();
        start = 0;
        if (!readPiece(device, buffer))
            return line;
    }
}

}  // namespace

std::optional<KeyLine> firstLineBeginningWith(QIODevice& device, QByteArrayView key, qsizetype keep,
                                              QByteArrayView skipped) {
    QByteArray buffer;
    if (!readPiece(device, buffer))
        return std::nullopt;
    if (buffer.startsWith(skipped))
        buffer.remove(0, skipped.size());
    qsizetype from = 0;
    // Whether the first byte of the buffer starts a line.
    bool lineStartsAtFront = true;
    for (;;) {
        for (;;) {
            const void* found = ::memmem(buffer.constData() + from, std::size_t(buffer.size() - from), key.data(),
                                         std::size_t(key.size()));
            if (!found)
                break;
            const qsizetype at = static_cast<const char*>(found) - buffer.constData();
            if (at == 0 ? lineStartsAtFront : endsLine(buffer[at - 1]))
                return lineFrom(device, buffer, at, keep);
            from = at + 1;
        }
        // The last bytes may begin a key that goes on in the next piece.
        const qsizetype carried = std::min(buffer.size(), std::max<qsizetype>(key.size() - 1, 0));
        const qsizetype dropped = buffer.size() - carried;
        if (dropped > 0)
            lineStartsAtFront = endsLine(buffer[dropped - 1]);
        buffer.remove(0, dropped);
        from = 0;
        if (!readPiece(device, buffer))
            return std::nullopt;
    }
}

qsizetype LineSplitter::nextOf(char byte, qsizetype from, qsizetype& cached) const {
    if (from >= bytes_.size())
        return bytes_.size();
    if (cached < from) {
        const void* found = std::memchr(bytes_.data() + from, byte, std::size_t(bytes_.size() - from));
        cached = found ? static_cast<const char*>(found) - bytes_.data() : bytes_.size();
    }
    return cached;
}

LineSpan LineSplitter::lineAt(qsizetype start) {
    const qsizetype stop = std::min(nextOf('\r', start, nextCr_), nextOf('\n', start, nextLf_));
    qsizetype endingLength = 0;
    if (stop < bytes_.size())
        endingLength = bytes_[stop] == '\r' && stop + 1 < bytes_.size() && bytes_[stop + 1] == '\n' ? 2 : 1;
    return {start, stop - start, endingLength};
}

LineReader::LineReader(QIODevice& device, qsizetype keep)
    : device_(device), keep_(keep), piece_(kPieceSize, Qt::Uninitialized) {}

bool LineReader::fill() {
    end_ = std::max<qint64>(device_.read(piece_.data(), kPieceSize), 0);
    pos_ = 0;
    splitter_ = LineSplitter(QByteArrayView(piece_.constData(), end_));
    return end_ > 0;
}

void LineReader::skipIfNext(QByteArrayView prefix) {
    if (pos_ == end_)
        fill();
    if (QByteArrayView(piece_.constData() + pos_, end_ - pos_).startsWith(prefix))
        pos_ += prefix.size();
}

void LineReader::keepPart(QByteArrayView part, Line& line) {
    const qsizetype kept = std::min(std::max<qsizetype>(keep_ - kept_.size(), 0), part.size());
    kept_.append(part.first(kept));
    const QByteArrayView cutOff = part.sliced(kept);
    if (cutOff.isEmpty())
        return;
    line.cut = true;
    const auto last = std::find_if_not(cutOff.rbegin(), cutOff.rend(), isBlank);
    if (last != cutOff.rend())
        line.lastNonBlankCutOff = *last;
}

std::optional<LineReader::Line> LineReader::next() {
    Line line;
    kept_.truncate(0);
    bool started = false;
    bool spansPieces = false;
    while (pos_ < end_ || fill()) {
        if (lfEndsLine_) {
            lfEndsLine_ = false;
            if (piece_[pos_] == '\n') {
                ++pos_;
                continue;
            }
        }
        started = true;
        const LineSpan span = splitter_.lineAt(pos_);
        const QByteArrayView part(piece_.constData() + span.start, span.length);
        pos_ = span.end();
        if (span.endingLength == 0) {  // the line goes on in the next piece
            keepPart(part, line);
            spansPieces = true;
            continue;
        }
        lfEndsLine_ = pos_ == end_ && piece_[pos_ - 1] == '\r';
        if (!spansPieces && part.size() <= keep_) {
            line.text = part;
            return line;
        }
        keepPart(part, line);
        line.text = kept_;
        return line;
    }
    if (!started)
        return std::nullopt;
    line.text = kept_;
    return line;
}

}  // namespace files
