// Turns a language text kept as UTF-8 into the language file the program
// reads: Windows-1252 bytes, CR LF line ends, sections and key="text" entries.
// Lines beginning with ";" are notes for translators and are left out. The
// conversion stops with a message, writing nothing, on a line that is neither
// a section, an entry nor blank, on a key given twice in one section, on a
// text with a double quote, and on a control character or one that
// Windows-1252 cannot hold.

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

std::optional<Failure> convert(const QString& source, QByteArray* output) {
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
        // The encoder puts a substitute in place of a character it cannot
        // hold, so a line that does not come back the same is refused.
        QStringEncoder encoder("windows-1252");
        QStringDecoder decoder("windows-1252");
        if (!encoder.isValid() || !decoder.isValid())
            return Failure{number, u"no Windows-1252 converter"_s};
        const QByteArray bytes = encoder(line);
        if (encoder.hasError() || QString(decoder(bytes)) != line)
            return Failure{number, u"Windows-1252 cannot hold this line"_s};
        output->append(bytes);
        output->append("\r\n");
    }
    return std::nullopt;
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
    QByteArray converted;
    if (const std::optional<Failure> failure = convert(text, &converted)) {
        std::fprintf(stderr, "%s:%d: %s\n", qPrintable(sourcePath), failure->line, qPrintable(failure->message));
        return 1;
    }
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
