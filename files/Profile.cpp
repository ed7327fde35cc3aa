#include "Profile.h"

#include "DataFiles.h"
#include "LineReader.h"
#include "Text8Bit.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace files {
namespace {

// Of a line longer than this only the start is looked at, so that memory
// stays bounded.
constexpr qsizetype kLineKeep = 64 * 1024;
// The writer holds the file in memory; a settings file is a few lines, so
// anything larger is refused rather than rewritten.
constexpr qint64 kWritableSizeMax = 16 * 1024 * 1024;

bool isBlank(char byte) {
    return byte == ' ' || byte == '\t';
}
bool isBlank(QChar ch) {
    return ch == u' ' || ch == u'\t';
}
bool isLineBreak(char byte) {
    return byte == '\r' || byte == '\n';
}

template <typename View>
View trimBlanks(View text) {
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

// Where the first line begins: after the byte-order mark of a file that has one.
qsizetype firstLineStart(QByteArrayView bytes, TextEncoding encoding) {
    return encoding == TextEncoding::Utf8WithBom && bytes.startsWith(kUtf8ByteOrderMark) ? kUtf8ByteOrderMark.size()
                                                                                         : 0;
}

// Names compare without regard to case. An ASCII name reads the same in
// every encoding a file may have, so only other names are decoded.
bool sameName(QByteArrayView name, QStringView wanted, TextEncoding encoding) {
    const bool ascii = std::none_of(name.begin(), name.end(), [](char byte) { return byte & 0x80; });
    if (ascii)
        return wanted.compare(QLatin1StringView(name), Qt::CaseInsensitive) == 0;
    return wanted.compare(decodeTextAs(name, encoding), Qt::CaseInsensitive) == 0;
}

// The name of the section that a line opens, or nothing for other lines.
std::optional<QByteArrayView> sectionName(QByteArrayView line) {
    line = trimBlanks(line);
    if (!line.startsWith('['))
        return std::nullopt;
    line = line.sliced(1);
    const qsizetype close = line.indexOf(']');
    return trimBlanks(close < 0 ? line : line.first(close));
}

template <typename View>
bool isQuoted(View value) {
    return value.size() >= 2 && value.front() == value.back() && (value.front() == u'"' || value.front() == u'\'');
}

// The value of a line that is an entry for `key`: what follows "=", without
// blanks at its ends and without a pair of enclosing double or single quotes.
std::optional<QByteArrayView> entryValue(QByteArrayView line, QStringView key, TextEncoding encoding) {
    const qsizetype equals = line.indexOf('=');
    if (equals < 0 || !sameName(trimBlanks(line.first(equals)), key, encoding))
        return std::nullopt;
    const QByteArrayView value = trimBlanks(line.sliced(equals + 1));
    return isQuoted(value) ? value.sliced(1, value.size() - 2) : value;
}

// What writing an entry does to a file: the bytes from `cutStart` to `cutEnd`
// give way to `text`.
struct ProfileEdit {
    qsizetype cutStart = 0;
    qsizetype cutEnd = 0;
    QString text;
};

QString endingOf(QByteArrayView bytes, const LineSpan& line) {
    return QString::fromLatin1(bytes.sliced(line.start + line.length, line.endingLength));
}

// Only the first section of a name counts, as on Windows: a key is looked for
// there, and a new one goes after its last entry, before any blank lines that
// set off the next section. A new line ends as the line before it does.
ProfileEdit planEdit(QByteArrayView bytes, TextEncoding encoding, QStringView section, QStringView key,
                     const QString& entry) {
    LineSplitter lines(bytes);
    const LineSpan firstLine = lines.lineAt(firstLineStart(bytes, encoding));
    const QString fileEnding = firstLine.endingLength == 0 ? u"\r\n"_s : endingOf(bytes, firstLine);
    enum { Before, Inside, After } state = Before;
    std::optional<LineSpan> insertAfter;
    for (LineSpan line = firstLine; line.start < bytes.size() && state != After; line = lines.lineAt(line.end())) {
        const QByteArrayView text = bytes.sliced(line.start, line.length);
        if (const std::optional<QByteArrayView> name = sectionName(text)) {
            if (state == Inside)
                state = After;
            else if (sameName(*name, section, encoding)) {
                state = Inside;
                insertAfter = line;
            }
        } else if (state == Inside && entryValue(text, key, encoding)) {
            return {line.start, line.start + line.length, entry};
        } else if (state == Inside && !trimBlanks(text).isEmpty()) {
            insertAfter = line;
        }
    }
    if (insertAfter && insertAfter->endingLength > 0) {
        const qsizetype at = insertAfter->end();
        return {at, at, entry % endingOf(bytes, *insertAfter)};
    }
    const qsizetype at = bytes.size();
    const QString separator = at > firstLine.start && !isLineBreak(bytes.back()) ? fileEnding : QString();
    if (insertAfter)
        return {at, at, separator % entry % fileEnding};
    return {at, at, separator % u'[' % section % u']' % fileEnding % entry % fileEnding};
}

QByteArray applyEdit(const QByteArray& bytes, const ProfileEdit& edit, const QByteArray& text) {
    return bytes.first(edit.cutStart) + text + bytes.sliced(edit.cutEnd);
}

bool holdsLineBreak(QStringView text) {
    return text.contains(u'\r') || text.contains(u'\n');
}

// A value that the reader would change (blanks at its ends, or enclosing
// quotes of its own) is written in quotes, so that it reads back the same.
QString entryLine(QStringView key, const QString& value) {
    const bool quoted = !value.isEmpty() && (isBlank(value.front()) || isBlank(value.back()) || isQuoted(value));
    return key % u'=' % (quoted ? u'"' % value % u'"' : value);
}

// The entry of `key` in the first section named `section` of the text
// `device` holds in `encoding`.
std::optional<QString> findEntry(QIODevice& device, TextEncoding encoding, QStringView section, QStringView key) {
    LineReader reader(device, kLineKeep);
    if (encoding == TextEncoding::Utf8WithBom)
        reader.skipIfNext(kUtf8ByteOrderMark);
    enum { Before, Inside } state = Before;
    QByteArray cutLine;
    while (const std::optional<LineReader::Line> line = reader.next()) {
        QByteArrayView text = line->text;
        if (line->lastNonBlankCutOff) {
            // Of a cut line its last non-blank byte still tells whether a quoted value is closed.
            cutLine = text.toByteArray() + *line->lastNonBlankCutOff;
            text = cutLine;
        }
        if (const std::optional<QByteArrayView> name = sectionName(text)) {
            if (state == Inside)
                return std::nullopt;
            if (sameName(*name, section, encoding))
                state = Inside;
        } else if (state == Inside) {
            if (const std::optional<QByteArrayView> value = entryValue(text, key, encoding))
                return limitedValue(decodeTextAs(*value, encoding));
        }
    }
    return std::nullopt;
}

}  // namespace

QString limitedValue(QStringView value) {
    if (value.size() > kProfileValueMax) {
        value.truncate(kProfileValueMax);
        if (value.back().isHighSurrogate())
            value.chop(1);
    }
    return value.toString();
}

QString GetPrivateProfileString(const QString& section, const QString& key, const QString& fallback,
                                const QString& file) {
    QFile input;
    if (openDataFile(file, input) != settings::FileOpening::Opened)
        return limitedValue(fallback);
    const QStringView wantedSection = trimBlanks(QStringView(section));
    const QStringView wantedKey = trimBlanks(QStringView(key));
    const std::optional<QStringConverter::Encoding> byteOrder = utf16ByteOrder(input.read(2));
    if (!input.seek(0))
        return limitedValue(fallback);
    std::optional<QString> value;
    if (byteOrder) {
        Utf16AsUtf8 text(input, *byteOrder);
        value = findEntry(text, TextEncoding::Utf8, wantedSection, wantedKey);
    } else {
        const TextEncoding encoding = detectTextEncoding(input);
        if (input.seek(0))
            value = findEntry(input, encoding, wantedSection, wantedKey);
    }
    return value.value_or(limitedValue(fallback));
}

bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value, const QString& file) {
    // Names and values that could not be read back as written are refused:
    // a line break would make lines of its own.
    const QStringView sectionName = trimBlanks(QStringView(section));
    const QStringView keyName = trimBlanks(QStringView(key));
    if (holdsLineBreak(sectionName) || sectionName.contains(u']') || keyName.isEmpty() || holdsLineBreak(keyName) ||
        keyName.contains(u'=') || keyName.startsWith(u'[') || holdsLineBreak(value))
        return false;

    QByteArray old;
    QFile existing;
    switch (settings::openRegularFile(file, kWritableSizeMax, existing)) {
    case settings::FileOpening::Refused:
        return false;
    case settings::FileOpening::Opened:
        old = existing.readAll();
        if (old.size() > kWritableSizeMax || existing.error() != QFileDevice::NoError)
            return false;
        existing.close();
        break;
    case settings::FileOpening::Missing:
        break;
    }

    const QString entry = entryLine(keyName, value);
    const auto editedAsUtf8 = [&](const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        const ProfileEdit edit = planEdit(utf8, TextEncoding::Utf8, sectionName, keyName, entry);
        return applyEdit(utf8, edit, edit.text.toUtf8());
    };
    // UTF-16 is edited as UTF-8, which keeps the text of every line, and written back in UTF-16.
    // A U+FEFF that starts the text after the file's mark is text, as the reader takes it: the
    // decoder keeps it rather than dropping it as a mark.
    if (const auto byteOrder = utf16ByteOrder(old)) {
        QStringDecoder keepingLeadingFeff(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        const QString edited = keepingLeadingFeff.decode(editedAsUtf8(decodeUtf16(old, *byteOrder)));
        return settings::saveWhole(file, encodeUtf16(edited, *byteOrder));
    }
    const TextEncoding encoding = detectTextEncoding(old);
    const ProfileEdit edit = planEdit(old, encoding, sectionName, keyName, entry);
    const std::optional<QByteArray> inserted = encodeTextAs(edit.text, encoding);
    QByteArray updated = inserted ? applyEdit(old, edit, *inserted) : QByteArray();
    if (!inserted ||
        (encoding == TextEncoding::Windows1252 && detectTextEncoding(updated) != TextEncoding::Windows1252)) {
        // Windows-1252 cannot hold the new text, or its bytes would make the
        // file read as UTF-8: the whole file becomes UTF-8, which keeps the
        // text of every line (and the bytes of every ASCII line).
        updated = editedAsUtf8(decodeTextAs(old, encoding));
    }
    return settings::saveWhole(file, updated);
}

}  // namespace files
