#pragma once
// The 8-bit text of language and settings files. Files are read as
// Windows-1252 unless they are valid UTF-8 (with or without a byte-order
// mark), which is read as UTF-8. Text is written as Windows-1252, or as UTF-8
// when Windows-1252 cannot hold it, so that it reads back the same.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <optional>

namespace platform {

enum class TextEncoding { Windows1252, Utf8, Utf8WithBom };

// Tells the encoding of a text handed over in pieces, so that a large file
// need not be held in memory. A text is UTF-8 when it is valid UTF-8 and holds
// a byte-order mark or at least one non-ASCII sequence; otherwise it is
// Windows-1252 (pure ASCII reads the same either way).
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

TextEncoding detectTextEncoding(QByteArrayView bytes);

// Decodes in a known encoding; for Utf8WithBom a leading byte-order mark is
// skipped. Invalid UTF-8 becomes U+FFFD.
QString decodeTextAs(QByteArrayView bytes, TextEncoding encoding);
// Encodes in a given encoding (Utf8WithBom puts the mark in front); nothing
// when Windows-1252 cannot hold the text.
std::optional<QByteArray> encodeTextAs(const QString& text, TextEncoding encoding);

}  // namespace platform
