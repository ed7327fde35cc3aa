// The 8-bit text of language and settings files on any bytes: the encoding is
// told alike whether the bytes come whole or in pieces cut anywhere, every
// byte survives a Windows-1252 round trip, and a text read in any encoding is
// written so that it reads back the same. UTF-16 read in pieces as UTF-8
// gives the text read whole, and written back gives the same text.

#include "FuzzCheck.h"
#include "Text8Bit.h"

#include <QBuffer>
#include <algorithm>
#include <cstddef>
#include <cstdint>

using files::TextEncoding;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, qsizetype(size));
    const TextEncoding detected = files::detectTextEncoding(bytes);

    // The pieces are cut where the bytes themselves say, one to eight bytes long.
    files::TextEncodingDetector inPieces;
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype length = std::min<qsizetype>(1 + data[at] % 8, bytes.size() - at);
        inPieces.feed(bytes.sliced(at, length));
        at += length;
    }
    MF_FUZZ_CHECK(inPieces.finish() == detected);

    const std::optional<QByteArray> windows1252 =
        files::encodeTextAs(files::decodeTextAs(bytes, TextEncoding::Windows1252), TextEncoding::Windows1252);
    MF_FUZZ_CHECK(windows1252 && *windows1252 == bytes);

    for (const TextEncoding read : {TextEncoding::Windows1252, TextEncoding::Utf8, TextEncoding::Utf8WithBom}) {
        const QString text = files::decodeTextAs(bytes, read);
        for (const TextEncoding written : {TextEncoding::Windows1252, TextEncoding::Utf8, TextEncoding::Utf8WithBom}) {
            if (const std::optional<QByteArray> encoded = files::encodeTextAs(text, written))
                MF_FUZZ_CHECK(files::decodeTextAs(*encoded, written) == text);
        }
    }

    for (const auto byteOrder : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
        const QString whole = files::decodeUtf16(bytes, byteOrder);
        QByteArray copy = bytes.toByteArray();
        QBuffer source(&copy);
        source.open(QIODevice::ReadOnly);
        files::Utf16AsUtf8 inPieces(source, byteOrder, bytes.isEmpty() ? 1 : 1 + data[0] % 16);
        MF_FUZZ_CHECK(inPieces.readAll() == whole.toUtf8());
        const QByteArray written = files::encodeUtf16(whole, byteOrder);
        MF_FUZZ_CHECK(files::utf16ByteOrder(written) == byteOrder && files::decodeUtf16(written, byteOrder) == whole);
    }
    return 0;
}
