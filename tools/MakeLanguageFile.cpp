// Turns a language text kept as UTF-8 into the language file the program
// reads: CR LF line ends, sections and key="text" entries, as Windows-1252
// bytes where that code page holds the whole text (as every file was written
// before other scripts came), else as UTF-8 behind a byte-order mark.
// Lines beginning with ";" are notes for translators and are left out. The
// conversion stops with a message, writing nothing, on a line that is neither
// a section, an entry nor blank, on a key given twice in one section, on a
// text with a double quote, and on a control character.

#include <QFile>
#include <QSaveFile>
#include <QSet>
#include <QString>
#include <QStringConverter>
#include <QStringList>
#include <cstdio>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qsizetype kLongestText = 511;  // longer texts would be cut when read

struct Failure {
    int line;
    QString message;
};

std::optional<Failure> convert(const QString& source, QString* output) {
    const QStringList lines = source.split(u'\n');
    QSet<QString> keysOfSection;
    bool inSection = false;
    for (int number = 1; number <= lines.size(); ++number) {
        QString line = lines[number - 1];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (number == lines.size() && line.isEmpty())
            break;  // the final line end
        if (line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']') || line.size() < 3)
                return Failure{number, u"a section name is [Name]"_s};
            keysOfSection.clear();
            inSection = true;
        } else if (!line.trimmed().isEmpty()) {
            const qsizetype equals = line.indexOf(u'=');
            if (equals <= 0)
                return Failure{number, u"an entry is key=\"text\""_s};
            const QString key = line.left(equals);
            const QString value = line.mid(equals + 1);
            if (key.contains(u' ') || key.contains(u'"'))
                return Failure{number, u"a key holds no blank and no quote"_s};
            if (value.size() < 2 || !value.startsWith(u'"') || !value.endsWith(u'"'))
                return Failure{number, u"the text stands between double quotes, right after ="_s};
            if (value.mid(1, value.size() - 2).contains(u'"'))
                return Failure{number, u"a text holds no double quote"_s};
            if (value.size() - 2 > kLongestText)
                return Failure{number, u"the text is too long"_s};
            if (!inSection)
                return Failure{number, u"an entry stands inside a section"_s};
            if (keysOfSection.contains(key))
                return Failure{number, u"the key is given twice in its section"_s};
            keysOfSection.insert(key);
        }
        for (const QChar c : line)
            if (c.category() == QChar::Other_Control)
                return Failure{number, u"a line holds no control character"_s};
        output->append(line);
        output->append(u"\r\n"_s);
    }
    return std::nullopt;
}

// The encoder puts a substitute in place of a character it cannot hold, so a
// text that does not come back the same is written as UTF-8.
QByteArray encoded(const QString& text) {
    QStringEncoder encoder("windows-1252");
    QStringDecoder decoder("windows-1252");
    if (encoder.isValid() && decoder.isValid()) {
        const QByteArray bytes = encoder(text);
        if (!encoder.hasError() && QString(decoder(bytes)) == text)
            return bytes;
    }
    return "\xEF\xBB\xBF" + text.toUtf8();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <text in UTF-8> <language file>\n", argv[0]);
        return 2;
    }
    const QString sourcePath = QString::fromLocal8Bit(argv[1]);
    const QString outputPath = QString::fromLocal8Bit(argv[2]);
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(sourcePath));
        return 1;
    }
    const QByteArray bytes = source.readAll();
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(u'\uFEFF'))
        text.remove(0, 1);
    if (text.contains(QChar::ReplacementCharacter)) {
        std::fprintf(stderr, "%s is not UTF-8 text\n", qPrintable(sourcePath));
        return 1;
    }
    QString lines;
    if (const std::optional<Failure> failure = convert(text, &lines)) {
        std::fprintf(stderr, "%s:%d: %s\n", qPrintable(sourcePath), failure->line, qPrintable(failure->message));
        return 1;
    }
    const QByteArray converted = encoded(lines);
    // Every user of the program reads the language files, whatever the umask.
    constexpr QFile::Permissions kReadableByAll =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther;
    QSaveFile output(outputPath);
    if (!output.open(QIODevice::WriteOnly | QIODevice::Truncate) || output.write(converted) != converted.size() ||
        !output.setPermissions(kReadableByAll) || !output.commit()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(outputPath));
        return 1;
    }
    return 0;
}
