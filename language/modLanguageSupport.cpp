#include "modLanguageSupport.h"

#include "DataFiles.h"
#include "LanguageLog.h"
#include "LineReader.h"
#include "MessageBox.h"
#include "Process.h"
#include "Profile.h"
#include "Screen.h"
#include "Text8Bit.h"

#include <QFile>
#include <QHash>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace modLanguageSupport {

QString MLSCurrentLanguage;

namespace {

constexpr qint64 kProfileReaderMaxBytes = 64000;

quint64 readCount = 0;

// The texts of ours read since the last translation of a screen, by language,
// section and key.
QHash<QString, QString>& keptTexts() {
    static QHash<QString, QString> texts;
    return texts;
}

QString keptText(const QString& language, const QString& section, const QString& key) {
    const QString id = language + u'\0' + section + u'\0' + key;
    const auto kept = keptTexts().constFind(id);
    if (kept != keptTexts().cend())
        return *kept;
    const QString text = MLSReadIni(files::languageFilePath(language), section, key).value_or(QString());
    keptTexts().insert(id, text);
    return text;
}

bool isAscii(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char byte) { return (byte & 0x80) == 0; });
}

// The length of the character `text` begins with: 2 for a surrogate pair.
qsizetype firstCharacterLength(QStringView text) {
    return text.size() >= 2 && text[0].isHighSurrogate() && text[1].isLowSurrogate() ? 2 : 1;
}
qsizetype lastCharacterLength(QStringView text) {
    return text.size() >= 2 && text.back().isLowSurrogate() && text[text.size() - 2].isHighSurrogate() ? 2 : 1;
}

// The text of a line that begins with `key`: what follows the key and one
// more character, less the first and the last character (never half of one).
QString textAfterKey(QStringView line, const QString& key, bool cut) {
    QStringView rest = line.sliced(std::min(line.size(), key.size()));
    for (int skipped = 0; skipped < 2 && !rest.isEmpty(); ++skipped)
        rest = rest.sliced(firstCharacterLength(rest));
    if (cut)  // the last character lies beyond what was kept, and so does the text's end
        return files::limitedValue(rest);
    if (rest.isEmpty())
        return {};
    return files::limitedValue(rest.chopped(lastCharacterLength(rest)));
}

// The first line of `device` that begins with `key`, cut at `limit` bytes.
std::optional<files::KeyLine> firstLineWithKey(QIODevice& device, qsizetype limit, const QByteArray& key) {
    return files::firstLineBeginningWith(device, key, limit, files::kUtf8ByteOrderMark);
}

QString scanLines(QFile& input, const QString& key) {
    const std::optional<QStringConverter::Encoding> byteOrder = files::utf16ByteOrder(input.read(2));
    if (!input.seek(0))
        return {};
    // A character takes at most three bytes, so a cut line still holds the
    // key, the "=", the opening quote and a full-length text.
    const qsizetype limit = 3 * (key.size() + 2 + files::kProfileValueMax) + 4;
    const QByteArray utf8Key = key.toUtf8();
    if (byteOrder) {
        files::Utf16AsUtf8 text(input, *byteOrder);
        const std::optional<files::KeyLine> line = firstLineWithKey(text, limit, utf8Key);
        return line ? textAfterKey(QString::fromUtf8(line->text), key, line->cut) : QString();
    }
    // The file's encoding decides which bytes the key has: look for the key
    // in either encoding, and decode the line of the one the file has.
    const std::optional<QByteArray> ansiKey = files::encodeTextAs(key, files::TextEncoding::Windows1252);
    const std::optional<files::KeyLine> utf8Line = firstLineWithKey(input, limit, utf8Key);
    // An ASCII key on an ASCII line reads the same in either encoding; only
    // otherwise is the whole file needed to tell its encoding.
    if (ansiKey == utf8Key && (!utf8Line || isAscii(utf8Line->text)))
        return utf8Line ? textAfterKey(files::decodeTextAs(utf8Line->text, files::TextEncoding::Windows1252), key,
                                       utf8Line->cut)
                        : QString();
    if (!input.seek(0))
        return {};
    const files::TextEncoding encoding = files::detectTextEncoding(input);
    std::optional<files::KeyLine> line = utf8Line;
    if (encoding == files::TextEncoding::Windows1252 && ansiKey != utf8Key) {
        if (!ansiKey || !input.seek(0))
            return {};
        line = firstLineWithKey(input, limit, *ansiKey);
    }
    if (!line)
        return {};
    return textAfterKey(files::decodeTextAs(line->text, encoding), key, line->cut);
}

// The file of the current language. One line is logged when it cannot be
// read, and again only after another file was the current one.
QString currentLanguageFile() {
    static QString reported;
    const QString file = files::languageFilePath(MLSCurrentLanguage);
    if (files::isPlainDataFile(file)) {
        reported.clear();
    } else if (file != reported) {
        reported = file;
        qCWarning(lcLanguage, "language file %s cannot be read: its texts stay as they are",
                  qUtf8Printable(file.isEmpty() ? MLSCurrentLanguage : file));
    }
    return file;
}

}  // namespace

std::optional<QString> MLSReadIni(const QString& file, const QString& section, const QString& key) {
    ++readCount;
    QFile input;
    if (files::openDataFile(file, input) != settings::FileOpening::Opened)
        return std::nullopt;
    if (input.size() <= kProfileReaderMaxBytes)
        return files::GetPrivateProfileString(section, key, QString(), file);
    return scanLines(input, key);
}

qint32 MLSWriteIni(const QString& file, const QString& section, const QString& key, const QString& value) {
    return files::WritePrivateProfileString(section, key, value, file) ? 1 : 0;
}

std::optional<QString> MLSStoredLanguage() {
    for (const QString& file : files::settingsFilesToRead()) {
        const QString stored = MLSReadIni(file, u"Language"_s, u"CurrentLanguage"_s).value_or(QString());
        if (!stored.isEmpty())
            return stored;
    }
    return std::nullopt;
}

QString MLSSystemLanguage(const QStringList& uiLanguages) {
    const auto localeOf = [](const QString& language) {
        return QLocale(MLSReadIni(files::languageFilePath(language), u"Language"_s, u"Locale"_s).value_or(QString()))
            .language();
    };
    const QStringList languages = files::languageNames();
    for (const QString& wanted : uiLanguages + QStringList{kDesignedLocale.toString()}) {
        const QLocale::Language language = QLocale(wanted).language();
        for (const QString& name : languages) {
            if (language != QLocale::C && localeOf(name) == language)
                return name;
        }
    }
    return {};
}

QString MLSStartLanguage() {
    return MLSStoredLanguage().value_or(MLSSystemLanguage());
}

QString MLSOurSection(OurWords words) {
    switch (words) {
    case OurWords::Speech:
        return u"Speech"_s;
    case OurWords::Settings:
        return u"Settings"_s;
    case OurWords::Dialog:
        return u"Dialog"_s;
    case OurWords::Accessibility:
        break;
    }
    return u"Accessibility"_s;
}

QString MLSOurFileKey(OurWords words, const QString& key) {
    switch (words) {
    case OurWords::Speech:
        return u"Say("_s + key + u')';
    case OurWords::Settings:
        return u"Set("_s + key + u')';
    case OurWords::Dialog:
        return u"Button("_s + key + u')';
    case OurWords::Accessibility:
        break;
    }
    return u"Name("_s + key + u')';
}

QString MLSOurWord(OurWords words, const QString& key, const QString& language) {
    return keptText(language, MLSOurSection(words), MLSOurFileKey(words, key));
}

quint64 MLSReadCount() {
    return readCount;
}

QString MLSCurrentLocale() {
    if (MLSCurrentLanguage.isEmpty())
        MLSCurrentLanguage = MLSStartLanguage();
    const QString locale = keptText(MLSCurrentLanguage, u"Language"_s, u"Locale"_s);
    return locale.isEmpty() ? kDesignedLocale.toString() : locale;
}

QString MLSGetString(const QString& number) {
    if (MLSCurrentLanguage.isEmpty())
        MLSCurrentLanguage = MLSStartLanguage();
    return MLSReadIni(currentLanguageFile(), u"Strings"_s, number).value_or(QString());
}

void MLSInstallDialogTranslations() {
    const auto word = [](const QString& key) { return MLSOurWord(OurWords::Dialog, key); };
    forms::installDialogTranslations(MLSCurrentLocale(), {word(u"Yes"_s), word(u"No"_s), word(u"OK"_s)});
}

void MLSTranslateForm(forms::Screen& frm) {
    if (!frm.isLoaded())
        return;
    keptTexts().clear();
    MLSInstallDialogTranslations();
    const QString file = currentLanguageFile();
    const QString& section = frm.name();

    if (!frm.caption().isEmpty()) {
        if (const auto text = MLSReadIni(file, section, section + u".Caption"))
            frm.setCaption(*text);
    }

    static constexpr std::pair<forms::TextProperty, QStringView> kProperties[] = {
        {forms::TextProperty::Caption, u"Caption"},
        {forms::TextProperty::ToolTipText, u"ToolTipText"},
        {forms::TextProperty::Tag, u"Tag"},
    };
    // Pending events may run handlers that unload the screen or add controls,
    // so the collection is walked by position and looked at anew each time.
    for (std::size_t i = 0; frm.isLoaded() && i < frm.controls().size(); ++i) {
        forms::Control& control = *frm.controls()[i];
        const QString prefix = control.fullName();
        for (const auto& [property, suffix] : kProperties) {
            if (!control.text(property))
                continue;  // the kind has no such property
            const QString text = MLSReadIni(file, section, prefix + u'.' + suffix).value_or(QString());
            if (!text.isEmpty())
                control.setText(property, text);
        }
        media::DoEvents();
    }
    if (frm.isLoaded())
        frm.afterTranslation();
}

}  // namespace modLanguageSupport
