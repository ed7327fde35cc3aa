#include "Text8Bit.h"

#include <QIODevice>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <cstring>

namespace files {
namespace {

constexpr qint64 kPieceSize = 64 * 1024;

// Windows-1252 bytes 0x80 to 0x9F. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the same code points as in
// Latin-1, so that every byte decodes and encodes back to itself.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeWindows1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        *out++ = (code >= 0x80 && code < 0xA0) ? QChar(kWindows1252High[code - 0x80]) : QChar(char16_t(code));
    }
    return text;
}

std::optional<QByteArray> encodeWindows1252(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t code = ch.unicode();
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            bytes.append(static_cast<char>(code));
            continue;
        }
        const auto* found = std::find(kWindows1252High.begin(), kWindows1252High.end(), code);
        if (found == kWindows1252High.end())
            return std::nullopt;
        bytes.append(static_cast<char>(0x80 + (found - kWindows1252High.begin())));
    }
    return bytes;
}

}  // namespace

void TextEncodingDetector::feed(QByteArrayView bytes) {
    if (start_.size() < kUtf8ByteOrderMark.size())
        start_.append(bytes.first(std::min(bytes.size(), kUtf8ByteOrderMark.size() - start_.size())));
    if (!nonAscii_)
        nonAscii_ = std::any_of(bytes.begin(), bytes.end(), [](char byte) { return (byte & 0x80) != 0; });
    if (!utf8_.hasError()) [[maybe_unused]]
        const QString discarded = utf8_.decode(bytes);
}

TextEncoding TextEncodingDetector::finish() {
    // A sequence cut off by the end of the text shows up as an error once
    // another byte follows it.
    [[maybe_unused]] const QString discarded = utf8_.decode(QByteArrayView("\n"));
    // A file that says it is UTF-8 keeps its every good line when a sequence
    // is broken: Windows-1252 would garble a script it cannot hold.
    if (start_ == kUtf8ByteOrderMark)
        return TextEncoding::Utf8WithBom;
    if (utf8_.hasError() || !nonAscii_)
        return TextEncoding::Windows1252;
    return TextEncoding::Utf8;
}

TextEncoding detectTextEncoding(QByteArrayView bytes) {
    TextEncodingDetector detector;
    detector.feed(bytes);
    return detector.finish();
}

TextEncoding detectTextEncoding(QIODevice& device) {
    TextEncodingDetector detector;
    for (QByteArray piece = device.read(kPieceSize); !piece.isEmpty(); piece = device.read(kPieceSize))
        detector.feed(piece);
    return detector.finish();
}

QString decodeTextAs(QByteArrayView bytes, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Windows1252:
        return decodeWindows1252(bytes);
    case TextEncoding::Utf8WithBom:
    case TextEncoding::Utf8:
        break;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return utf8.decode(bytes);
}

std::optional<QByteArray> encodeTextAs(const QString& text, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Windows1252:
        return encodeWindows1252(text);
    case TextEncoding::Utf8WithBom:
    case TextEncoding::Utf8:
        break;
    }
    return text.toUtf8();
}

std::optional<QStringConverter::Encoding> utf16ByteOrder(QByteArrayView start) {
    if (start.startsWith("\xFF\xFE"))
        return QStringConverter::Utf16LE;
    if (start.startsWith("\xFE\xFF"))
        return QStringConverter::Utf16BE;
    return std::nullopt;
}

QString decodeUtf16(QByteArrayView bytes, QStringConverter::Encoding byteOrder) {
    QStringDecoder decoder(byteOrder);  // skips the mark
    return decoder.decode(bytes);
}

QByteArray encodeUtf16(const QString& text, QStringConverter::Encoding byteOrder) {
    QStringEncoder encoder(byteOrder, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

Utf16AsUtf8::Utf16AsUtf8(QIODevice& source, QStringConverter::Encoding byteOrder, qint64 pieceSize)
    : source_(source), decoder_(byteOrder), pieceSize_(pieceSize) {
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 Utf16AsUtf8::readData(char* data, qint64 maxSize) {
    while (pendingAt_ == pending_.size()) {
        const QByteArray piece = source_.read(pieceSize_);
        if (piece.isEmpty() && highSurrogate_.isEmpty())
            return -1;
        QString text = highSurrogate_ + QString(decoder_.decode(piece));
        highSurrogate_.clear();
        if (!piece.isEmpty() && !text.isEmpty() && text.back().isHighSurrogate())
            highSurrogate_ = text.sliced(text.size() - 1);
        pending_ = QStringView(text).chopped(highSurrogate_.size()).toUtf8();
        pendingAt_ = 0;
    }
    const qint64 count = std::min<qint64>(maxSize, pending_.size() - pendingAt_);
    std::memcpy(data, pending_.constData() + pendingAt_, std::size_t(count));
    pendingAt_ += count;
    return count;
}

}  // namespace files
