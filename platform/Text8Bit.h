#pragma once
// The 8-bit text of language and settings files. Files are read as
// Windows-1252 unless they are valid UTF-8 (with or without a byte-order
// mark), which is read as UTF-8. Text is written as Windows-1252, or as UTF-8
// when Windows-1252 cannot hold it, so that it reads back the same.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

class QIODevice;

namespace platform {

enum class TextEncoding { Windows1252, Utf8, Utf8WithBom };

inline constexpr QByteArrayView kUtf8ByteOrderMark("\xEF\xBB\xBF");

// A text is UTF-8 when it is valid UTF-8 and holds a byte-order mark or at
// least one non-ASCII sequence; otherwise it is Windows-1252 (pure ASCII reads
// the same either way).
TextEncoding detectTextEncoding(QByteArrayView bytes);
// The encoding of what `device` holds from its position to its end, read in
// pieces; the device is left at its end.
TextEncoding detectTextEncoding(QIODevice& device);

// Decodes in a known encoding; for Utf8WithBom a leading byte-order mark is
// skipped. Invalid UTF-8 becomes U+FFFD.
QString decodeTextAs(QByteArrayView bytes, TextEncoding encoding);
// Encodes in a given encoding (Utf8WithBom puts the mark in front); nothing
// when Windows-1252 cannot hold the text.
std::optional<QByteArray> encodeTextAs(const QString& text, TextEncoding encoding);

}  // namespace platform
