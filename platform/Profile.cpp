#include "platform/Profile.h"

#include "platform/Text8Bit.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace platform {
namespace {

constexpr qint64 kChunkSize = 64 * 1024;
// The part of a line that is decoded and looked at: far more than a key, "="
// and a quoted value of kProfileValueMax characters. The rest of a longer line
// is skipped, so a huge line costs no more memory than this.
constexpr qsizetype kLineHeadLimit = 64 * 1024;
// The writer holds the file in memory; a settings file is a few lines, so
// anything larger is refused rather than rewritten.
constexpr qint64 kWritableSizeMax = 16 * 1024 * 1024;

bool isBlank(QChar ch) { return ch == u' ' || ch == u'\t'; }
bool isBlankByte(char byte) { return byte == ' ' || byte == '\t'; }

QStringView trimBlanks(QStringView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

QString limitedValue(QStringView value)
{
    if (value.size() > kProfileValueMax) {
        value.truncate(kProfileValueMax);
        if (value.back().isHighSurrogate())
            value.chop(1);
    }
    return value.toString();
}

// One line of a file, with its place in the file and the ending it had.
struct Line {
    qint64 start = 0;
    qint64 length = 0;  // in bytes, without the ending
    QByteArray head;    // the first kLineHeadLimit bytes
    QByteArray ending;  // "\r\n", "\n", "\r", or empty for a last line without one
    char lastNonBlank = 0;  // of the whole line; 0 for a blank line

    bool truncated() const { return length > head.size(); }
    qint64 end() const { return start + length + ending.size(); }
};

// Reads lines ended by CR LF, LF or CR from a device in chunks.
class LineReader {
public:
    explicit LineReader(QIODevice& device) : device_(device) {}

    bool next(Line& line)
    {
        if (!fill())
            return false;
        line = Line{};
        line.start = bufferStart_ + position_;
        while (fill()) {
            const char* begin = buffer_.constData() + position_;
            const char* stop = buffer_.constData() + buffer_.size();
            const char* lineBreak =
                std::find_if(begin, stop, [](char byte) { return byte == '\r' || byte == '\n'; });
            append(line, QByteArrayView(begin, lineBreak));
            position_ = lineBreak - buffer_.constData();
            if (lineBreak == stop)
                continue;
            line.ending = QByteArray(1, *lineBreak);
            ++position_;
            if (*lineBreak == '\r' && fill() && buffer_.at(position_) == '\n') {
                line.ending += '\n';
                ++position_;
            }
            break;
        }
        return true;
    }

private:
    // Makes sure an unread byte is in the buffer; false at the end of the data.
    bool fill()
    {
        if (position_ < buffer_.size())
            return true;
        bufferStart_ += buffer_.size();
        buffer_ = device_.read(kChunkSize);
        position_ = 0;
        return !buffer_.isEmpty();
    }

    static void append(Line& line, QByteArrayView bytes)
    {
        line.length += bytes.size();
        line.head.append(bytes.first(std::min(bytes.size(), kLineHeadLimit - line.head.size())));
        const auto lastNonBlank =
            std::find_if_not(bytes.rbegin(), bytes.rend(), isBlankByte);
        if (lastNonBlank != bytes.rend())
            line.lastNonBlank = *lastNonBlank;
    }

    QIODevice& device_;
    QByteArray buffer_;
    qsizetype position_ = 0;
    qint64 bufferStart_ = 0;
};

// The name of the section that a line opens, or nothing for other lines.
std::optional<QStringView> sectionName(QStringView text)
{
    text = trimBlanks(text);
    if (!text.startsWith(u'['))
        return std::nullopt;
    text = text.sliced(1);
    const qsizetype close = text.indexOf(u']');
    return trimBlanks(close < 0 ? text : text.first(close));
}

// The value of `key` when the line is an entry for it.
std::optional<QString> entryValue(const Line& line, QStringView text, QStringView key)
{
    const qsizetype equals = text.indexOf(u'=');
    if (equals < 0 || trimBlanks(text.first(equals)).compare(key, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    QStringView value = trimBlanks(text.sliced(equals + 1));
    // Of a line longer than its head only the last byte tells how the value ends.
    const bool endsWithQuote = line.truncated() ? line.lastNonBlank == '"'
                                                : value.size() >= 2 && value.endsWith(u'"');
    if (value.startsWith(u'"') && endsWithQuote) {
        value = value.sliced(1);
        if (!line.truncated())
            value.chop(1);
    }
    return limitedValue(value);
}

bool matches(QStringView name, QStringView wanted)
{
    return name.compare(wanted, Qt::CaseInsensitive) == 0;
}

// What writing an entry does to a file: the bytes from `cutStart` to `cutEnd`
// give way to `text`.
struct ProfileEdit {
    qint64 cutStart = 0;
    qint64 cutEnd = 0;
    QString text;
};

ProfileEdit planEdit(const QByteArray& bytes, TextEncoding encoding, QStringView section,
                     QStringView key, const QString& entry)
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    LineReader lines(device);
    Line line;
    QByteArray lineEnding;
    bool inSection = false;
    bool inFirstSection = false;
    bool sectionFound = false;
    qint64 insertAt = 0;
    bool insertNeedsLineEnding = false;
    bool lastLineEnded = true;
    while (lines.next(line)) {
        if (lineEnding.isEmpty())
            lineEnding = line.ending;
        lastLineEnded = !line.ending.isEmpty();
        const QString text = decodeTextAs(line.head, encoding);
        if (const std::optional<QStringView> name = sectionName(text)) {
            inSection = matches(*name, section);
            inFirstSection = inSection && !sectionFound;
            if (inFirstSection) {
                sectionFound = true;
                insertAt = line.end();
                insertNeedsLineEnding = !lastLineEnded;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (entryValue(line, text, key))
            return {line.start, line.start + line.length, entry};
        // A new entry goes after the last entry of the section, before any
        // blank lines that set off the next section.
        if (inFirstSection && line.lastNonBlank != 0) {
            insertAt = line.end();
            insertNeedsLineEnding = !lastLineEnded;
        }
    }
    const QString newLine = lineEnding.isEmpty() ? u"\r\n"_s : QString::fromLatin1(lineEnding);
    if (sectionFound)
        return {insertAt, insertAt, (insertNeedsLineEnding ? newLine : QString()) % entry % newLine};
    const QString separator = bytes.isEmpty() || lastLineEnded ? QString() : newLine;
    return {bytes.size(), bytes.size(),
            separator % u'[' % section % u']' % newLine % entry % newLine};
}

QByteArray applyEdit(const QByteArray& bytes, const ProfileEdit& edit, const QByteArray& text)
{
    return bytes.first(edit.cutStart) + text + bytes.sliced(edit.cutEnd);
}

bool holdsLineBreak(QStringView text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

// A value that the reader would change (blanks at its ends, or enclosing
// quotes of its own) is written in quotes, so that it reads back the same.
QString entryLine(QStringView key, const QString& value)
{
    const bool quoted = !value.isEmpty()
                        && (isBlank(value.front()) || isBlank(value.back())
                            || (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"')));
    return key % u'=' % (quoted ? u'"' % value % u'"' : value);
}

}  // namespace

QString GetPrivateProfileString(const QString& section, const QString& key,
                                const QString& fallback, const QString& file)
{
    const QString answerWhenMissing = limitedValue(fallback);
    // Only regular files: opening a named pipe would wait for a writer.
    QFile input(file);
    if (!QFileInfo(file).isFile() || !input.open(QIODevice::ReadOnly))
        return answerWhenMissing;
    TextEncodingDetector detector;
    for (QByteArray chunk = input.read(kChunkSize); !chunk.isEmpty(); chunk = input.read(kChunkSize))
        detector.feed(chunk);
    const TextEncoding encoding = detector.finish();
    if (!input.seek(0))
        return answerWhenMissing;

    const QStringView wantedSection = trimBlanks(section);
    const QStringView wantedKey = trimBlanks(key);
    LineReader lines(input);
    Line line;
    bool inSection = false;
    while (lines.next(line)) {
        const QString text = decodeTextAs(line.head, encoding);
        if (const std::optional<QStringView> name = sectionName(text))
            inSection = matches(*name, wantedSection);
        else if (inSection)
            if (std::optional<QString> value = entryValue(line, text, wantedKey))
                return *value;
    }
    return answerWhenMissing;
}

bool WritePrivateProfileString(const QString& section, const QString& key,
                               const QString& value, const QString& file)
{
    // Names and values that could not be read back as written are refused:
    // a line break would make lines of its own.
    const QStringView sectionName = trimBlanks(section);
    const QStringView keyName = trimBlanks(key);
    if (holdsLineBreak(sectionName) || sectionName.contains(u']') || keyName.isEmpty()
        || holdsLineBreak(keyName) || keyName.contains(u'=') || keyName.startsWith(u'[')
        || holdsLineBreak(value))
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
    const std::optional<QByteArray> inserted = encodeTextAs(
        edit.text, encoding == TextEncoding::Utf8WithBom ? TextEncoding::Utf8 : encoding);
    QByteArray updated = inserted ? applyEdit(old, edit, *inserted) : QByteArray();
    if (!inserted
        || (encoding == TextEncoding::Windows1252
            && detectTextEncoding(updated) != TextEncoding::Windows1252)) {
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
    return output.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
           && output.write(updated) == updated.size()
           && output.commit();
}

}  // namespace platform
