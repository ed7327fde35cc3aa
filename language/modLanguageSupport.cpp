#include "modLanguageSupport.h"

#include "DataFiles.h"
#include "LineReader.h"
#include "MessageBox.h"
#include "Process.h"
#include "Profile.h"
#include "Screen.h"
#include "Text8Bit.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace modLanguageSupport {

QString MLSCurrentLanguage;

namespace {

constexpr qint64 kProfileReaderMaxBytes = 64000;

bool isAscii(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char byte) { return (byte & 0x80) == 0; });
}

struct FoundLine {
    QByteArray bytes;
    bool cut = false;
    bool found = false;
};

// The text of a line that begins with `key`: what follows the key and one
// more character, less the first and the last character.
QString textAfterKey(QStringView line, const QString& key, bool cut) {
    const QStringView rest = line.sliced(std::min(line.size(), key.size() + 1));
    if (cut)  // the last character lies beyond what was kept, and so does the text's end
        return platform::limitedValue(rest.sliced(1));
    if (rest.size() < 2)
        return {};
    return platform::limitedValue(rest.sliced(1, rest.size() - 2));
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
    platform::LineReader reader(input, limit);
    reader.skipIfNext(platform::kUtf8ByteOrderMark);
    while (!utf8Line.found || (ansiKey && !ansiLine.found)) {
        const std::optional<platform::LineReader::Line> line = reader.next();
        if (!line)
            break;
        if (!utf8Line.found && line->text.startsWith(utf8Key))
            utf8Line = {line->text.toByteArray(), line->cut, true};
        if (ansiKey && !ansiLine.found && line->text.startsWith(*ansiKey))
            ansiLine = {line->text.toByteArray(), line->cut, true};
    }
    // An ASCII key on an ASCII line reads the same in either encoding; only
    // otherwise is the whole file needed to tell its encoding.
    const bool sameEitherWay = ansiKey == utf8Key && (!utf8Line.found || isAscii(utf8Line.bytes));
    const platform::TextEncoding encoding =
        sameEitherWay || !input.seek(0) ? platform::TextEncoding::Windows1252 : platform::detectTextEncoding(input);
    const FoundLine& line = encoding == platform::TextEncoding::Windows1252 ? ansiLine : utf8Line;
    if (!line.found)
        return {};
    return textAfterKey(platform::decodeTextAs(line.bytes, encoding), key, line.cut);
}

}  // namespace

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
        MLSCurrentLanguage =
            MLSReadIni(platform::settingsFilePath(), u"Language"_s, u"CurrentLanguage"_s).value_or(QString());
    return MLSReadIni(platform::languageFilePath(MLSCurrentLanguage), u"Strings"_s, number).value_or(QString());
}

QString MLSCurrentLocale() {
    return MLSReadIni(platform::languageFilePath(MLSCurrentLanguage), u"Language"_s, u"Locale"_s).value_or(QString());
}

void MLSTranslateForm(platform::Screen& frm) {
    if (!frm.isLoaded())
        return;
    platform::installDialogTranslations(MLSCurrentLocale());
    const QString file = platform::languageFilePath(MLSCurrentLanguage);
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
        const QString prefix = control.fullName();
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
