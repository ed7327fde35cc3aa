#pragma once
// The text of language and settings files. Files are read as Windows-1252
// unless they are valid UTF-8 (with or without a byte-order mark), which is
// read as UTF-8, or begin with a UTF-16 byte-order mark (Notepad's "Unicode"),
// which are read as UTF-16 turned into UTF-8 on the fly. Text is written as
// Windows-1252, or as UTF-8 when Windows-1252 cannot hold it, so that it reads
// back the same.

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <QStringDecoder>
#include <optional>

namespace files {

enum class TextEncoding { Windows1252, Utf8, Utf8WithBom };

inline constexpr QByteArrayView kUtf8ByteOrderMark("\xEF\xBB\xBF");

// A text is UTF-8 when it begins with a byte-order mark (a broken sequence
// then reads as U+FFFD), or is valid UTF-8 with at least one non-ASCII
// sequence; otherwise it is Windows-1252 (pure ASCII reads the same either way).
TextEncoding detectTextEncoding(QByteArrayView bytes);
// The encoding of what `device` holds from its position to its end, read in
// pieces; the device is left at its end.
TextEncoding detectTextEncoding(QIODevice& device);

// Tells the encoding of a text handed over in pieces, so that a large file
// need not be held in memory.
class TextEncodingDetector {
public:
    void feed(QByteArrayView bytes);
    // Call once, after the last piece.
    TextEncoding finish();

private:
    QStringDecoder utf8_{QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom};
    QByteArray start_;  // the first bytes, up to the length of a byte-order mark
    bool nonAscii_ = false;
};

// Decodes a part of a file in a known encoding; Utf8 and Utf8WithBom decode
// alike, a U+FEFF included: only the start of a file carries a mark, which
// its reader skips. Invalid UTF-8 becomes U+FFFD.
QString decodeTextAs(QByteArrayView bytes, TextEncoding encoding);
// Encodes a part of a file; nothing when Windows-1252 cannot hold the text.
std::optional<QByteArray> encodeTextAs(const QString& text, TextEncoding encoding);

// The UTF-16 byte order a file's first bytes announce with a byte-order mark.
std::optional<QStringConverter::Encoding> utf16ByteOrder(QByteArrayView start);
// A UTF-16 text with its mark, whole; an unpaired surrogate becomes U+FFFD,
// an odd last byte is dropped.
QString decodeUtf16(QByteArrayView bytes, QStringConverter::Encoding byteOrder);
QByteArray encodeUtf16(const QString& text, QStringConverter::Encoding byteOrder);

// Reads a UTF-16 file, from after its mark, as UTF-8, a piece of
// `pieceSize` bytes at a time; a surrogate pair cut by a piece's end is kept
// whole.
class Utf16AsUtf8 : public QIODevice {
public:
    Utf16AsUtf8(QIODevice& source, QStringConverter::Encoding byteOrder, qint64 pieceSize = 64 * 1024);
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QIODevice& source_;
    QStringDecoder decoder_;
    const qint64 pieceSize_;
    QString highSurrogate_;  // the last piece's, until its pair comes
    QByteArray pending_;
    qsizetype pendingAt_ = 0;
};

}  // namespace files
