#include "language/modLanguageSupport.h"

#include "platform/Process.h"
#include "platform/Profile.h"
#include "platform/Screen.h"
#include "platform/Text8Bit.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

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

// Reads a file line by line; CR LF, LF and a lone CR each end a line. Of each
// line at most `limit` bytes are kept, so a line of any length costs bounded
// memory.
class LineReader {
public:
    explicit LineReader(QFile& file) : file_(file) {
        fill();
        if (chunk_.startsWith("\xEF\xBB\xBF"))
            pos_ = 3;
    }

    // False at the end of the file. `cut` tells whether the line was longer
    // than `limit`.
    bool next(QByteArray& line, bool& cut, qsizetype limit) {
        line.clear();
        cut = false;
        bool readAny = false;
        while (pos_ < chunk_.size() || fill()) {
            if (lfEndsLine_) {
                lfEndsLine_ = false;
                if (chunk_.at(pos_) == '\n') {
                    ++pos_;
                    continue;
                }
            }
            readAny = true;
            const char* begin = chunk_.constData() + pos_;
            const char* end = chunk_.constData() + chunk_.size();
            const char* stop = std::find_if(begin, end, [](char c) { return c == '\r' || c == '\n'; });
            const qsizetype room = limit - line.size();
            const qsizetype length = stop - begin;
            line.append(begin, std::min(room, length));
            cut = cut || length > room;
            pos_ += length;
            if (stop != end) {
                lfEndsLine_ = *stop == '\r';
                ++pos_;
                return true;
            }
        }
        return readAny;
    }

private:
    bool fill() {
        chunk_ = file_.read(64 * 1024);
        pos_ = 0;
        return !chunk_.isEmpty();
    }

    QFile& file_;
    QByteArray chunk_;
    qsizetype pos_ = 0;
    bool lfEndsLine_ = false;  // the last line ended with CR: a LF right after belongs to it
};

// A cut line may end inside a UTF-8 sequence, which would make the whole line
// read as Windows-1252: drop the last, possibly incomplete, character.
void dropPartialCharacter(QByteArray& line) {
    for (qsizetype i = line.size() - 1; i >= 0 && i >= line.size() - 4; --i) {
        const auto byte = static_cast<unsigned char>(line.at(i));
        if (byte < 0x80) {
            line.truncate(i + 1);
            return;
        }
        if (byte >= 0xC0) {
            line.truncate(i);
            return;
        }
    }
}

QString scanLines(const QString& file, const QString& key) {
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly))
        return {};
    // Four bytes a character is more than either encoding needs, so a cut line
    // still holds the key, the "=", the opening quote and a full-length text.
    const qsizetype limit = 4 * (key.size() + 2 + platform::kProfileValueMax + 1);
    // Keys are ASCII in practice; their bytes are then the same in either
    // encoding, and only the matching line needs decoding.
    const bool asciiKey = std::all_of(key.cbegin(), key.cend(), [](QChar c) { return c.unicode() < 0x80; });
    const QByteArray keyBytes = key.toLatin1();
    LineReader reader(input);
    QByteArray bytes;
    bool cut = false;
    while (reader.next(bytes, cut, limit)) {
        if (asciiKey && !bytes.startsWith(keyBytes))
            continue;
        if (cut)
            dropPartialCharacter(bytes);
        const QString line = platform::decodeText(bytes);
        if (!line.startsWith(key))
            continue;
        QString rest = line.mid(key.size() + 1);
        if (cut) {
            rest = rest.mid(1);
        } else {
            if (rest.size() < 2)
                return {};
            rest = rest.mid(1, rest.size() - 2);
        }
        return rest.left(platform::kProfileValueMax);
    }
    return {};
}

}  // namespace

QString SettingsFile() {
    return inProgramFolder(u"LangSetting.ini"_s);
}

QString LanguageFile(const QString& language) {
    if (language.contains(u'/') || language.contains(u'\\') || language.contains(u"..")
        || language.contains(QChar(0)))
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

qint32 MLSWriteIni(const QString& file, const QString& section, const QString& key,
                   const QString& value) {
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
        const QString prefix = index ? control.name() + u'(' + QString::number(*index) + u')'
                                     : control.name();
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
