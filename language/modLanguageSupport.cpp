#include "language/modLanguageSupport.h"

#include "platform/Process.h"
#include "platform/Profile.h"
#include "platform/Screen.h"
#include "platform/Text8Bit.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace modLanguageSupport {

QString MLSCurrentLanguage;

namespace {

constexpr qint64 kProfileReaderMaxBytes = 64000;

QString inProgramFolder(const QString& fileName) {
    QString folder = platform::ProgramFolder();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder + fileName;
}

constexpr qint64 kChunkSize = 64 * 1024;

// Reads a file line by line; CR LF, LF and a lone CR each end a line. Of each
// line at most `limit` bytes are kept, so a line of any length costs bounded
// memory.
class LineReader {
public:
    explicit LineReader(QFile& file) : file_(file), chunk_(kChunkSize, Qt::Uninitialized) {
        fill();
        if (QByteArrayView(chunk_.constData(), end_).startsWith("\xEF\xBB\xBF"))
            pos_ = 3;
    }

    // False at the end of the file. `cut` tells whether the line was longer
    // than `limit`.
    bool next(QByteArray& line, bool& cut, qsizetype limit) {
        line.truncate(0);
        cut = false;
        bool readAny = false;
        while (pos_ < end_ || fill()) {
            if (lfEndsLine_) {
                lfEndsLine_ = false;
                if (chunk_.at(pos_) == '\n') {
                    ++pos_;
                    continue;
                }
            }
            readAny = true;
            const qsizetype stop = std::min(nextOf('\r', nextCr_), nextOf('\n', nextLf_));
            const qsizetype length = stop - pos_;
            const qsizetype kept = std::min(limit - line.size(), length);
            line.append(chunk_.constData() + pos_, kept);
            cut = cut || kept < length;
            pos_ = stop;
            if (stop < end_) {
                lfEndsLine_ = chunk_.at(stop) == '\r';
                ++pos_;
                return true;
            }
        }
        return readAny;
    }

private:
    bool fill() {
        end_ = std::max<qint64>(file_.read(chunk_.data(), kChunkSize), 0);
        pos_ = 0;
        nextCr_ = nextLf_ = -1;
        return end_ > 0;
    }

    // The position of the next `byte` at or after pos_, or end_; `cached`
    // remembers it so that the chunk is searched once for each byte.
    qsizetype nextOf(char byte, qsizetype& cached) const {
        if (cached < pos_) {
            const void* found = std::memchr(chunk_.constData() + pos_, byte, std::size_t(end_ - pos_));
            cached = found ? static_cast<const char*>(found) - chunk_.constData() : end_;
        }
        return cached;
    }

    QFile& file_;
    QByteArray chunk_;
    qsizetype end_ = 0;
    qsizetype pos_ = 0;
    qsizetype nextCr_ = -1;
    qsizetype nextLf_ = -1;
    bool lfEndsLine_ = false;  // the last line ended with CR: a LF right after belongs to it
};

platform::TextEncoding fileEncoding(QFile& file) {
    platform::TextEncodingDetector detector;
    if (file.seek(0)) {
        for (QByteArray chunk = file.read(kChunkSize); !chunk.isEmpty(); chunk = file.read(kChunkSize))
            detector.feed(chunk);
    }
    return detector.finish();
}

bool isAscii(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char byte) { return (byte & 0x80) == 0; });
}

struct FoundLine {
    QByteArray bytes;
    bool cut = false;
    bool found = false;
};

QString limitedText(QStringView text) {
    if (text.size() > platform::kProfileValueMax) {
        text.truncate(platform::kProfileValueMax);
        if (text.back().isHighSurrogate())
            text.chop(1);
    }
    return text.toString();
}

// The text of a line that begins with `key`: what follows the key and one
// more character, less the first and the last character.
QString textAfterKey(QStringView line, const QString& key, bool cut) {
    const QStringView rest = line.sliced(std::min(line.size(), key.size() + 1));
    if (cut)  // the last character lies beyond what was kept, and so does the text's end
        return limitedText(rest.sliced(1));
    if (rest.size() < 2)
        return {};
    return limitedText(rest.sliced(1, rest.size() - 2));
}

QString scanLines(const QString& file, const QString& key) {
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    // A character takes at most three bytes, so a cut line still holds the
    // key, the "=", the opening quote and a full-length text.
    const qsizetype limit = 3 * (key.size() + 2 + platform::kProfileValueMax) + 4;
    // The file's encoding decides which bytes the key has: look for the key
    // in either encoding, and decode the line of the one the file has.
    const QByteArray utf8Key = key.toUtf8();
    const std::optional<QByteArray> ansiKey = platform::encodeTextAs(key, platform::TextEncoding::Windows1252);
    FoundLine utf8Line;
    FoundLine ansiLine;
    LineReader reader(input);
    QByteArray bytes;
    bool cut = false;
    while ((!utf8Line.found || (ansiKey && !ansiLine.found)) && reader.next(bytes, cut, limit)) {
        if (!utf8Line.found && bytes.startsWith(utf8Key))
            utf8Line = {bytes, cut, true};
        if (ansiKey && !ansiLine.found && bytes.startsWith(*ansiKey))
            ansiLine = {bytes, cut, true};
    }
    // An ASCII key on an ASCII line reads the same in either encoding; only
    // otherwise is the whole file needed to tell its encoding.
    const bool sameEitherWay = ansiKey == utf8Key && (!utf8Line.found || isAscii(utf8Line.bytes));
    const platform::TextEncoding encoding = sameEitherWay ? platform::TextEncoding::Windows1252 : fileEncoding(input);
    const FoundLine& line = encoding == platform::TextEncoding::Windows1252 ? ansiLine : utf8Line;
    if (!line.found)
        return {};
    return textAfterKey(platform::decodeTextAs(line.bytes, encoding), key, line.cut);
}

}  // namespace

QString SettingsFile() {
    return inProgramFolder(u"LangSetting.ini"_s);
}

QString LanguageFile(const QString& language) {
    if (language.contains(u'/') || language.contains(u'\\') || language.contains(u"..") || language.contains(QChar(0)))
        return {};
    return inProgramFolder(language + u".lng");
}

QString CurrentLanguageFile() {
    return LanguageFile(MLSCurrentLanguage);
}

std::optional<QString> MLSReadIni(const QString& file, const QString& section, const QString& key) {
    const QFileInfo info(file);
    if (file.isEmpty() || !info.isFile())
        return std::nullopt;
    if (info.size() <= kProfileReaderMaxBytes)
        return platform::GetPrivateProfileString(section, key, QString(), file);
    return scanLines(file, key);
}

qint32 MLSWriteIni(const QString& file, const QString& section, const QString& key, const QString& value) {
    return platform::WritePrivateProfileString(section, key, value, file) ? 1 : 0;
}

QString MLSGetString(const QString& number) {
    if (MLSCurrentLanguage.isEmpty())
        MLSCurrentLanguage = MLSReadIni(SettingsFile(), u"Language"_s, u"CurrentLanguage"_s).value_or(QString());
    return MLSReadIni(CurrentLanguageFile(), u"Strings"_s, number).value_or(QString());
}

void MLSTranslateForm(platform::Screen& frm) {
    if (!frm.isLoaded())
        return;
    const QString file = CurrentLanguageFile();
    const QString& section = frm.name();

    if (!frm.caption().isEmpty()) {
        if (const auto text = MLSReadIni(file, section, section + u".Caption"))
            frm.setCaption(*text);
    }

    static constexpr std::pair<platform::TextProperty, QStringView> kProperties[] = {
        {platform::TextProperty::Caption, u"Caption"},
        {platform::TextProperty::ToolTipText, u"ToolTipText"},
        {platform::TextProperty::Tag, u"Tag"},
    };
    // Pending events may run handlers that unload the screen or add controls,
    // so the collection is walked by position and looked at anew each time.
    for (std::size_t i = 0; frm.isLoaded() && i < frm.controls().size(); ++i) {
        platform::Control& control = *frm.controls()[i];
        const std::optional<int> index = control.index();
        const QString prefix = index ? control.name() + u'(' + QString::number(*index) + u')' : control.name();
        for (const auto& [property, suffix] : kProperties) {
            if (!control.text(property))
                continue;  // the kind has no such property
            const QString text = MLSReadIni(file, section, prefix + u'.' + suffix).value_or(QString());
            if (!text.isEmpty())
                control.setText(property, text);
        }
        platform::DoEvents();
    }
}

}  // namespace modLanguageSupport
