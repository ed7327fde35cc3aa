#include "platform/Profile.h"

#include "platform/Text8Bit.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace platform {
namespace {

// Files up to this size are read at once; larger ones in pieces of this size,
// and of a line longer than this only the start is looked at, so that memory
// stays bounded.
constexpr qsizetype kPieceSize = 64 * 1024;
// The writer holds the file in memory; a settings file is a few lines, so
// anything larger is refused rather than rewritten.
constexpr qint64 kWritableSizeMax = 16 * 1024 * 1024;

constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");

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

QString limitedValue(QStringView value) {
    if (value.size() > kProfileValueMax) {
        value.truncate(kProfileValueMax);
        if (value.back().isHighSurrogate())
            value.chop(1);
    }
    return value.toString();
}

// Where the first line begins: after the byte-order mark of a file that has one.
qsizetype firstLineStart(QByteArrayView bytes, TextEncoding encoding) {
    return encoding == TextEncoding::Utf8WithBom && bytes.startsWith(kByteOrderMark) ? kByteOrderMark.size() : 0;
}

// A line of bytes in memory: its place and the length of the CR LF, LF or CR
// that ends it (0 for a last line without one).
struct Line {
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype endingLength = 0;

    qsizetype end() const { return start + length + endingLength; }
};

Line lineAt(QByteArrayView bytes, qsizetype start) {
    const QByteArrayView rest = bytes.sliced(start);
    const qsizetype length = std::find_if(rest.begin(), rest.end(), isLineBreak) - rest.begin();
    const QByteArrayView ending = rest.sliced(length);
    return {start, length, ending.startsWith("\r\n") ? 2 : ending.isEmpty() ? 0 : 1};
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

// The value of a line that is an entry for `key`: what follows "=", without
// blanks at its ends and without enclosing double quotes.
std::optional<QByteArrayView> entryValue(QByteArrayView line, QStringView key, TextEncoding encoding) {
    const qsizetype equals = line.indexOf('=');
    if (equals < 0 || !sameName(trimBlanks(line.first(equals)), key, encoding))
        return std::nullopt;
    const QByteArrayView value = trimBlanks(line.sliced(equals + 1));
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        return value.sliced(1, value.size() - 2);
    return value;
}

// What writing an entry does to a file: the bytes from `cutStart` to `cutEnd`
// give way to `text`.
struct ProfileEdit {
    qsizetype cutStart = 0;
    qsizetype cutEnd = 0;
    QString text;
};

ProfileEdit planEdit(QByteArrayView bytes, TextEncoding encoding, QStringView section, QStringView key,
                     const QString& entry) {
    const Line firstLine = lineAt(bytes, firstLineStart(bytes, encoding));
    const QString newLine =
        firstLine.endingLength == 0
            ? u"\r\n"_s
            : QString::fromLatin1(bytes.sliced(firstLine.start + firstLine.length, firstLine.endingLength));
    bool inSection = false;
    bool inFirstSection = false;
    std::optional<qsizetype> insertAt;  // in the first section of that name
    for (Line line = firstLine; line.start < bytes.size(); line = lineAt(bytes, line.end())) {
        const QByteArrayView text = bytes.sliced(line.start, line.length);
        if (const std::optional<QByteArrayView> name = sectionName(text)) {
            inSection = sameName(*name, section, encoding);
            inFirstSection = inSection && !insertAt;
            if (inFirstSection)
                insertAt = line.end();
        } else if (inSection && entryValue(text, key, encoding)) {
            return {line.start, line.start + line.length, entry};
        } else if (inFirstSection && !trimBlanks(text).isEmpty()) {
            // A new entry goes after the section's last entry, before any
            // blank lines that set off the next section.
            insertAt = line.end();
        }
    }
    const qsizetype at = insertAt.value_or(bytes.size());
    const bool afterUnendedLine = at == bytes.size() && at > firstLine.start && !isLineBreak(bytes.back());
    const QString separator = afterUnendedLine ? newLine : QString();
    if (insertAt)
        return {at, at, separator % entry % newLine};
    return {at, at, separator % u'[' % section % u']' % newLine % entry % newLine};
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
    const bool quoted = !value.isEmpty() && (isBlank(value.front()) || isBlank(value.back()) ||
                                             (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"')));
    return key % u'=' % (quoted ? u'"' % value % u'"' : value);
}

}  // namespace

QString GetPrivateProfileString(const QString& section, const QString& key, const QString& fallback,
                                const QString& file) {
    const QString answerWhenMissing = limitedValue(fallback);
    // Only regular files: opening a named pipe would wait for a writer.
    QFile input(file);
    if (!QFileInfo(file).isFile() || !input.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return answerWhenMissing;
    // A read that brings less than a piece has reached the end of the file.
    bool atEnd = false;
    const auto readPiece = [&] {
        QByteArray piece = input.read(kPieceSize);
        atEnd = piece.size() < kPieceSize;
        return piece;
    };
    QByteArray window = readPiece();
    TextEncodingDetector detector;
    detector.feed(window);
    if (!atEnd) {
        // A large file: its encoding is known only once all of it is read.
        do
            detector.feed(readPiece());
        while (!atEnd);
        if (!input.seek(0))
            return answerWhenMissing;
        window = readPiece();
    }
    const TextEncoding encoding = detector.finish();

    const QStringView wantedSection = trimBlanks(QStringView(section));
    const QStringView wantedKey = trimBlanks(QStringView(key));
    bool inSection = false;
    qsizetype start = firstLineStart(window, encoding);
    for (;;) {
        // The window holds whole lines and then the start of a line whose end
        // is not read yet, unless the file has been read to its end.
        for (Line line = lineAt(window, start); line.endingLength > 0 || (atEnd && line.length > 0);
             line = lineAt(window, start)) {
            const QByteArrayView text = QByteArrayView(window).sliced(line.start, line.length);
            start = line.end();
            if (const std::optional<QByteArrayView> name = sectionName(text))
                inSection = sameName(*name, wantedSection, encoding);
            else if (inSection)
                if (const std::optional<QByteArrayView> value = entryValue(text, wantedKey, encoding))
                    return limitedValue(decodeTextAs(*value, encoding));
        }
        if (atEnd)
            return answerWhenMissing;
        window.remove(0, start);
        start = 0;
        if (window.size() > kPieceSize) {
            // Of the rest of a long line only its last non-blank byte matters:
            // it tells whether a quoted value is closed.
            const QByteArrayView rest = trimBlanks(QByteArrayView(window).sliced(kPieceSize));
            window = window.first(kPieceSize) + rest.last(std::min<qsizetype>(rest.size(), 1));
        }
        window += readPiece();
    }
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
    QFile existing(file);
    if (existing.exists()) {
        if (!QFileInfo(file).isFile() || !existing.open(QIODevice::ReadOnly))
            return false;
        old = existing.read(kWritableSizeMax + 1);
        if (old.size() > kWritableSizeMax || existing.error() != QFileDevice::NoError)
            return false;
        existing.close();
    }

    const QString entry = entryLine(keyName, value);
    const TextEncoding encoding = detectTextEncoding(old);
    const ProfileEdit edit = planEdit(old, encoding, sectionName, keyName, entry);
    // Only the start of a file carries a byte-order mark.
    const std::optional<QByteArray> inserted =
        encodeTextAs(edit.text, encoding == TextEncoding::Utf8WithBom ? TextEncoding::Utf8 : encoding);
    QByteArray updated = inserted ? applyEdit(old, edit, *inserted) : QByteArray();
    if (!inserted ||
        (encoding == TextEncoding::Windows1252 && detectTextEncoding(updated) != TextEncoding::Windows1252)) {
        // Windows-1252 cannot hold the new text, or its bytes would make the
        // file read as UTF-8: the whole file becomes UTF-8, which keeps the
        // text of every line (and the bytes of every ASCII line).
        const QByteArray utf8 = decodeTextAs(old, encoding).toUtf8();
        const ProfileEdit utf8Edit = planEdit(utf8, TextEncoding::Utf8, sectionName, keyName, entry);
        updated = applyEdit(utf8, utf8Edit, utf8Edit.text.toUtf8());
    }

    // Unbuffered, so that a write refused by a full disk fails here: a failed
    // flush of a buffered QSaveFile still commits the empty file.
    QSaveFile output(file);
    return output.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && output.write(updated) == updated.size() &&
           output.commit();
}

}  // namespace platform
