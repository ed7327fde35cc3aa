// The translator's tools for the language texts of data/languages (UTF-8,
// sections of key="text" lines, ";" notes), measured against the English
// template, whose note above a key says where its text shows:
//   check <text> <template>            says, line by line, what is wrong, and
//                                      which captions do not fit at 1024 × 600
//   to-po <text> <template> <po>       a PO file: section and key as context,
//                                      English as source, the note for translators
//                                      (a text not yet there: nothing translated)
//   from-po <po> <template> <text>     the text back from a PO file, in the
//                                      template's order
// It exits with 1 when the check finds a fault or a file cannot be read.

#include "CaptionFit.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <memory>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Entry {
    QString section;
    QString key;
    QString text;
    QString note;  // the ";" lines above it
    int line = 0;
};

struct LanguageText {
    QList<Entry> entries;
    QStringList faults;  // "line: message"
    QString header;      // the notes before the first section
};

QString idOf(const Entry& entry) {
    return u'[' + entry.section + u"] "_s + entry.key;
}

std::optional<QString> readUtf8(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(u'\uFEFF'))
        text.remove(0, 1);
    return text;
}

LanguageText parse(const QString& source) {
    LanguageText parsed;
    QString section;
    QStringList notes;
    QSet<QString> seen;
    const QStringList lines = source.split(u'\n');
    for (int number = 1; number <= lines.size(); ++number) {
        QString line = lines[number - 1];
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QString where = QString::number(number) + u": "_s;
        if (line.contains(QChar::ReplacementCharacter))
            parsed.faults << where + u"not UTF-8"_s;
        if (line.startsWith(u';')) {
            notes << line.mid(1).trimmed();
            continue;
        }
        if (line.trimmed().isEmpty()) {
            if (section.isEmpty() && !notes.isEmpty())
                parsed.header = notes.join(u'\n');
            notes.clear();
            continue;
        }
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            if (section.isEmpty())
                parsed.header = notes.join(u'\n');
            section = line.mid(1, line.size() - 2);
            notes.clear();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        const QString value = line.mid(equals + 1);
        if (section.isEmpty() || equals <= 0 || value.size() < 2 || !value.startsWith(u'"') || !value.endsWith(u'"') ||
            value.mid(1, value.size() - 2).contains(u'"')) {
            parsed.faults << where + u"not key=\"text\" in a section (a text holds no double quote)"_s;
            notes.clear();
            continue;
        }
        Entry entry{section, line.left(equals), value.mid(1, value.size() - 2), notes.join(u' '), number};
        if (seen.contains(idOf(entry)))
            parsed.faults << where + idOf(entry) + u" is given twice"_s;
        seen.insert(idOf(entry));
        parsed.entries << entry;
        notes.clear();
    }
    return parsed;
}

QSet<QString> placeholdersOf(const QString& text) {
    static const QRegularExpression kPlaceholder(u"%[1-9]"_s);
    QSet<QString> found;
    for (const QRegularExpressionMatch& match : kPlaceholder.globalMatch(text))
        found.insert(match.captured());
    return found;
}

// Whether espeak-ng, the voice of speech-dispatcher here, speaks the language of `locale`.
std::optional<bool> voiceFor(const QString& locale) {
    QProcess voices;
    voices.start(u"espeak-ng"_s, {u"--voices="_s + locale.section(u'_', 0, 0)});
    if (!voices.waitForFinished(10000) || voices.exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    return QString::fromUtf8(voices.readAllStandardOutput()).trimmed().split(u'\n').size() > 1;
}

QStringList check(const LanguageText& text, const LanguageText& english) {
    QStringList faults = text.faults;
    QHash<QString, const Entry*> byId;
    for (const Entry& entry : text.entries)
        byId.insert(idOf(entry), &entry);
    QHash<QString, const Entry*> englishById;
    for (const Entry& entry : english.entries)
        englishById.insert(idOf(entry), &entry);
    for (const Entry& model : english.entries) {
        const Entry* entry = byId.value(idOf(model));
        if (!entry) {
            faults << u"0: "_s + idOf(model) + u" is missing (English: \""_s + model.text + u"\")"_s;
            continue;
        }
        const QString where = QString::number(entry->line) + u": "_s + idOf(*entry);
        if (entry->text.trimmed().isEmpty())
            faults << where + u" is empty"_s;
        if (placeholdersOf(entry->text) != placeholdersOf(model.text))
            faults << where + u" must keep the placeholders of \""_s + model.text + u'"';
        if (entry->key.endsWith(u".Caption"_s) && entry->text.contains(u'&'))
            faults << where + u" holds an ampersand, which would underline the next letter"_s;
    }
    for (const Entry& entry : text.entries) {
        if (!englishById.contains(idOf(entry)))
            faults << QString::number(entry.line) + u": "_s + idOf(entry) + u" is no key of the template"_s;
    }
    // Texts that English tells apart (a child's instructions, a picture's
    // phrases, the codes of the changes) are told apart in every language.
    QHash<QString, const Entry*> firstWithText;
    for (const Entry& entry : text.entries) {
        const Entry* model = englishById.value(idOf(entry));
        if (!model || entry.section.startsWith(u"Form"_s))
            continue;
        const QString id = entry.section + u'\0' + entry.text;
        const Entry* other = firstWithText.value(id);
        if (other && englishById.value(idOf(*other))->text != model->text)
            faults << QString::number(entry.line) + u": "_s + idOf(entry) + u" reads like "_s + idOf(*other) +
                          u" (line "_s + QString::number(other->line) + u"), which English tells apart"_s;
        else if (!other)
            firstWithText.insert(id, &entry);
    }
    for (const Entry& entry : text.entries) {
        if (entry.section == u"Language"_s && entry.key == u"Locale"_s) {
            const std::optional<bool> voice = voiceFor(entry.text);
            if (!voice)
                faults << QString::number(entry.line) + u": espeak-ng cannot be asked for a voice"_s;
            else if (!*voice)
                faults << QString::number(entry.line) + u": espeak-ng has no voice for "_s + entry.text;
        }
    }
    return faults;
}

QString poQuoted(const QString& text) {
    QString quoted = text;
    quoted.replace(u"\\"_s, u"\\\\"_s).replace(u"\""_s, u"\\\""_s);
    return u'"' + quoted + u'"';
}

QString toPo(const LanguageText& text, const LanguageText& english) {
    QHash<QString, QString> translated;
    for (const Entry& entry : text.entries)
        translated.insert(idOf(entry), entry.text);
    const QString language = translated.value(u"[Language] Locale"_s);
    QString po = u"msgid \"\"\nmsgstr \"\"\n\"Project-Id-Version: Metamorfine\\n\"\n\"Language: "_s + language +
                 u"\\n\"\n\"MIME-Version: 1.0\\n\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
                 "\"Content-Transfer-Encoding: 8bit\\n\"\n"_s;
    for (const Entry& model : english.entries) {
        po += u'\n';
        if (!model.note.isEmpty())
            po += u"#. "_s + model.note + u'\n';
        if (!placeholdersOf(model.text).isEmpty())
            po += u"#, c-format\n"_s;
        po += u"msgctxt "_s + poQuoted(model.section + u'/' + model.key) + u"\nmsgid "_s + poQuoted(model.text) +
              u"\nmsgstr "_s + poQuoted(translated.value(idOf(model))) + u'\n';
    }
    return po;
}

QString poUnquoted(QStringView quoted) {
    QString text;
    for (qsizetype i = 1; i + 1 < quoted.size(); ++i) {
        if (quoted[i] == u'\\' && i + 2 < quoted.size()) {
            ++i;
            text += quoted[i] == u'n' ? QChar(u'\n') : quoted[i];
        } else {
            text += quoted[i];
        }
    }
    return text;
}

// The translations of a PO file by context; its continued strings joined.
QHash<QString, QString> readPo(const QString& po) {
    QHash<QString, QString> translations;
    QString context;
    QString* current = nullptr;
    QString msgstr;
    const auto finish = [&] {
        if (!context.isEmpty())
            translations.insert(context, msgstr);
        context.clear();
        msgstr.clear();
    };
    QString ignored;
    for (const QString& raw : po.split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith(u"msgctxt "_s)) {
            finish();
            context = poUnquoted(QStringView(line).sliced(8));
            current = &ignored;
        } else if (line.startsWith(u"msgid "_s)) {
            current = &ignored;
        } else if (line.startsWith(u"msgstr "_s)) {
            msgstr = poUnquoted(QStringView(line).sliced(7));
            current = &msgstr;
        } else if (line.startsWith(u'"') && current) {
            *current += poUnquoted(line);
        }
    }
    finish();
    return translations;
}

QString fromPo(const QHash<QString, QString>& translations, const LanguageText& english, const QString& header) {
    QString text = u"; "_s + header + u'\n';
    QString section;
    for (const Entry& model : english.entries) {
        if (model.section != section) {
            if (!section.isEmpty())
                text += u'\n';
            section = model.section;
            text += u'[' + section + u"]\n"_s;
        }
        QString translated = translations.value(model.section + u'/' + model.key);
        translated.replace(u'\n', u' ');
        text += model.key + u"=\""_s + translated + u"\"\n"_s;
    }
    return text;
}

bool write(const QString& path, const QString& text) {
    QSaveFile file(path);
    const QByteArray bytes = text.toUtf8();
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

int usage() {
    std::fputs(
        "usage: mf_language_kit check <text> <English template>\n"
        "       mf_language_kit to-po <text> <English template> <po>\n"
        "       mf_language_kit from-po <po> <English template> <text>\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const bool checking = argc > 1 && qstrcmp(argv[1], "check") == 0;
    if (checking)
        prepareCaptionFit();
    // Measuring captions needs widgets; the other commands need none.
    const std::unique_ptr<QCoreApplication> application =
        checking ? std::make_unique<QApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    const QStringList arguments = application->arguments().mid(1);
    if (arguments.size() < 3)
        return usage();
    const QString& command = arguments[0];
    // A language not yet written goes to PO with every text to translate.
    const std::optional<QString> input =
        command == u"to-po"_s && !QFileInfo::exists(arguments[1]) ? QString() : readUtf8(arguments[1]);
    const std::optional<QString> templateText = readUtf8(arguments[2]);
    if (!input || !templateText) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(input ? arguments[2] : arguments[1]));
        return 1;
    }
    const LanguageText english = parse(*templateText);
    const QString language = QFileInfo(arguments[command == u"from-po"_s ? 3 : 1]).completeBaseName();
    if (command == u"check"_s && arguments.size() == 3) {
        QStringList faults = check(parse(*input), english);
        for (const QString& fault : captionsThatDoNotFit(*input, *templateText))
            faults << u"0: "_s + fault;
        for (const QString& fault : faults)
            std::fprintf(stderr, "%s:%s\n", qPrintable(arguments[1]), qPrintable(fault));
        return faults.isEmpty() ? 0 : 1;
    }
    if (command == u"to-po"_s && arguments.size() == 4)
        return write(arguments[3], toPo(parse(*input), english)) ? 0 : 1;
    if (command == u"from-po"_s && arguments.size() == 4)
        return write(arguments[3], fromPo(readPo(*input), english,
                                          language + u" texts, as UTF-8, from a PO file; the build turns them into "_s +
                                              language + u".lng."_s))
                   ? 0
                   : 1;
    return usage();
}
