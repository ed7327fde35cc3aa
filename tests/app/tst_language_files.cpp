// Every shipped language file translates every designed caption of every
// screen, and names no control that a screen lacks.
#include "DataFiles.h"
#include "Screen.h"
#include "Screens.h"

#include <QFile>
#include <QMap>
#include <QSet>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// Section name -> the keys of that section.
QMap<QString, QSet<QString>> readKeys(const QString& path) {
    QMap<QString, QSet<QString>> sections;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return sections;
    QString section;
    for (const QByteArray& rawLine : file.readAll().split('\n')) {
        const QString line = QString::fromLatin1(rawLine).trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']'))
            sections[section = line.mid(1, line.size() - 2)];
        else if (const qsizetype equals = line.indexOf(u'='); equals > 0)
            sections[section].insert(line.left(equals));
    }
    return sections;
}

QString controlKey(const platform::ControlDesign& control, const QString& property) {
    const QString name = QString::fromUtf8(control.name);
    return control.index >= 0 ? u"%1(%2).%3"_s.arg(name).arg(control.index).arg(property) : name % u'.' % property;
}

// Captions that need no translation: the counts, and the label that the
// random-change and two-change exercises write for every puzzle.
bool writtenAtRunTime(const QString& form, const QString& name) {
    return name == u"EtichettaEsatti"_s || name == u"EtichettaErrati"_s ||
           (name == u"Label4"_s && (form == u"FormEs5"_s || form == u"FormEs6"_s));
}

}  // namespace

class TestLanguageFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each language the menu lists, checked against every screen's design.
    void languageFilesMatchTheDesigns() {
        platform::setExecutableFolder(QStringLiteral(MF_PROGRAM_DIR));
        const QStringList languages = platform::languageNames();
        QVERIFY2(languages.size() >= 5, qPrintable(languages.join(u", "_s)));
        QStringList missing;
        QStringList unknown;
        for (const QString& language : languages) {
            const QMap<QString, QSet<QString>> sections = readKeys(platform::languageFilePath(language));
            for (const platform::Screen* screen : {&screens::FormAvvio(), &screens::FormMenu(), &screens::FormEs1(),
                                                   &screens::FormEs2(), &screens::FormEs3(), &screens::FormEs4(),
                                                   &screens::FormEs5(), &screens::FormEs6(), &screens::FormEs7()}) {
                const QString form = QString::fromUtf8(screen->design().name);
                QSet<QString> allowed{form % u".Caption"_s};
                for (const platform::ControlDesign& control : screen->design().controls) {
                    const QString name = QString::fromUtf8(control.name);
                    const QString caption = controlKey(control, u"Caption"_s);
                    // The language menu's entries are named after the files.
                    if (name != u"mnuLanguage"_s) {
                        allowed << caption;
                        if (control.caption && *control.caption && !writtenAtRunTime(form, name) &&
                            !sections.value(form).contains(caption))
                            missing << language % u": "_s % form % u": "_s % caption;
                    }
                    allowed << controlKey(control, u"ToolTipText"_s) << controlKey(control, u"Tag"_s);
                }
                for (const QString& key : sections.value(form))
                    if (!allowed.contains(key))
                        unknown << language % u": "_s % form % u": "_s % key;
            }
        }
        platform::setExecutableFolder(QString());
        QVERIFY2(missing.isEmpty(), qPrintable(u"missing "_s % missing.join(u", "_s)));
        QVERIFY2(unknown.isEmpty(), qPrintable(u"unknown "_s % unknown.join(u", "_s)));
    }
};

QTEST_MAIN(TestLanguageFiles)
#include "tst_language_files.moc"
