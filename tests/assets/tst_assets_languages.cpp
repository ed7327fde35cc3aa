// The shipped language files: Windows-1252 text, or UTF-8 with a byte-order
// mark where that cannot hold it, with CR LF line ends, the
// same sections and keys in every language (every sentence the program says
// among them), a text for every key, and codes of the changes that are
// distinct and fit their labels; every designed caption of every screen
// translated, and no control named that a screen lacks. Also the converter
// that writes them, which must refuse what the program could not read back.

#include "AccessibleTexts.h"
#include "DataFiles.h"
#include "ExerciseCatalogue.h"
#include "FileBytes.h"
#include "FormMenu.h"
#include "PuzzleRules.h"
#include "Screens.h"
#include "modLanguageSupport.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// Every text of data/languages is a language of the program folder.
const QStringList kLanguages = [] {
    QStringList names;
    for (const QFileInfo& source :
         QDir(QStringLiteral(MF_LANGUAGE_SOURCES)).entryInfoList({u"*.txt"_s}, QDir::Files, QDir::Name))
        names << source.completeBaseName();
    return names;
}();

using Section = QMap<QString, QString>;
using Sections = QMap<QString, Section>;

// Captions that need no translation: the counts, the label that the
// random-change and two-change exercises write for every puzzle, and the
// start screen's version.
bool writtenAtRunTime(const QString& form, const QString& key) {
    return key == u"EtichettaEsatti."_s || key == u"EtichettaErrati."_s ||
           (key == u"Label4."_s && (form == u"FormEs5"_s || form == u"FormEs6"_s)) ||
           (key == u"Label2(2)."_s && form == u"FormAvvio"_s);
}

// A shipped file as the converter wrote it: Windows-1252, or UTF-8 behind a
// byte-order mark, key="text" lines in sections, CR LF (what it writes and
// refuses is converterRefusesWhatTheProgramCannotRead's). The converter lets
// a section given twice pass: such sections are added to `twice`.
Sections readLanguage(const QString& language, QStringList* twice = nullptr) {
    const QByteArray bytes = file_bytes::read(QStringLiteral(MF_PROGRAM_DIR) + u'/' + language + u".lng"_s);
    const bool utf8 = bytes.startsWith("\xEF\xBB\xBF");
    QStringDecoder decoder(utf8 ? "UTF-8" : "windows-1252");
    const QString text = decoder(utf8 ? bytes.sliced(3) : bytes);
    Sections sections;
    QString section;
    for (const QString& line : text.split(u"\r\n"_s, Qt::SkipEmptyParts)) {
        if (line.startsWith(u'[')) {
            section = line.mid(1, line.size() - 2);
            if (twice && sections.contains(section))
                *twice << section;
            sections[section];
        } else {
            const qsizetype equals = line.indexOf(u'=');
            sections[section][line.left(equals)] = line.mid(equals + 2).chopped(1);
        }
    }
    return sections;
}

// A tool of the build run in `folder`: its exit code, -1 when it did not
// end; what it wrote as errors in `errors`.
int runTool(const char* tool, const QStringList& arguments, const QString& folder = QString(),
            QString* errors = nullptr) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(QString::fromUtf8(tool), arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    if (errors)
        *errors = QString::fromUtf8(process.readAllStandardError());
    return process.exitCode();
}

class LanguageTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { files::setExecutableFolder(QStringLiteral(MF_PROGRAM_DIR)); }

    // That each file holds the keys of the English template, none empty and
    // no caption with an ampersand, is the language_check tests'. The template
    // holds every text the program asks for, and none that is never
    // translated; the menu lists every shipped language.
    void theTemplateHoldsTheKeysOfItsScreens() {
        const Sections italian = readLanguage(u"Italiano"_s);
        QStringList numbers;
        for (int n = 1; n <= 23; ++n)
            numbers << u"%1"_s.arg(n, 4, 10, QChar(u'0'));
        numbers << u"9993"_s << u"9994"_s << u"9995"_s << u"9996"_s << u"9997"_s << u"9998"_s << u"9999"_s;
        QCOMPARE(QStringList(italian[u"Strings"_s].keys()), numbers);
        QStringList spoken;
        for (const QString& key : app::FormMenu::SpokenKeys())
            spoken << modLanguageSupport::MLSOurFileKey(modLanguageSupport::OurWords::Speech, key);
        spoken.sort();
        QCOMPARE(QStringList(italian[u"Speech"_s].keys()), spoken);
        for (auto section = italian.cbegin(); section != italian.cend(); ++section)
            for (const QString& key : section->keys())
                // Language names, resizing tags and window titles are never translated.
                QVERIFY2(!key.startsWith(u"mnuLanguage("_s) && !key.endsWith(u".Tag"_s) &&
                             !key.startsWith(section.key() + u'.'),
                         qPrintable(section.key() + u' ' + key));
        const QStringList listed = files::languageNames();
        QCOMPARE(QSet<QString>(listed.cbegin(), listed.cend()), QSet<QString>(kLanguages.cbegin(), kLanguages.cend()));
    }

    // A shipped language gives no section twice, translates every caption of
    // every screen's design and names no control that the screen lacks. Each
    // exercise's title is its name on the menu, in capitals, so that the
    // window, the menu and the screen call it alike. At every level no two
    // instructions (each change of one attribute, of nothing, of every
    // attribute, each pair of drawn changes) read alike, and a picture's
    // phrase names it alone among the pictures of its set; that every
    // instruction an exercise asks is among the keys is the exercise screens'
    // test. A first run under the language's locale starts in it. The codes
    // of the changes are distinct and fit their labels. The translator's kit
    // takes its text to PO and back.
    void everyLanguageFileIsWhole_data() {
        QTest::addColumn<QString>("language");
        for (const QString& language : kLanguages)
            QTest::newRow(qPrintable(language)) << language;
    }
    void everyLanguageFileIsWhole() {
        QFETCH(QString, language);
        QStringList twice;
        const Sections file = readLanguage(language, &twice);
        QVERIFY2(twice.isEmpty(), qPrintable(u"given twice: "_s + twice.join(u", "_s)));
        // Label4 of the random and of the two-change exercise is written while playing.
        for (const exercises::exercise_catalogue::Exercise& exercise : exercises::exercise_catalogue::catalogue()) {
            const Section& screen = file[QString::fromLatin1(exercise.form)];
            QCOMPARE(screen.contains(u"Label4.Caption"_s), exercise.number != 5 && exercise.number != 6);
            const QString name =
                file[u"FormMenu"_s].value(QString::fromLatin1(exercise.menuButton.text()) + u".Caption"_s);
            QCOMPARE(screen.value(u"Label3.Caption"_s), QLocale(file[u"Language"_s].value(u"Locale"_s)).toUpper(name));
        }
        QStringList faults;
        for (const forms::Screen* screen :
             {&app::screens::FormAvvio(), &app::screens::FormMenu(), &app::screens::FormEs1(), &app::screens::FormEs2(),
              &app::screens::FormEs3(), &app::screens::FormEs4(), &app::screens::FormEs5(), &app::screens::FormEs6(),
              &app::screens::FormEs7()}) {
            const QString form = QString::fromUtf8(screen->design().name);
            QSet<QString> allowed{form + u".Caption"_s};
            for (const forms::ControlDesign& control : screen->design().controls) {
                const QString name = QString::fromUtf8(control.name);
                const QString key = control.index >= 0 ? u"%1(%2)."_s.arg(name).arg(control.index) : name + u'.';
                allowed << key + u"ToolTipText"_s;
                // The language menu's entries are named after the files.
                if (name == u"mnuLanguage"_s)
                    continue;
                allowed << key + u"Caption"_s;
                if (control.caption && *control.caption && !writtenAtRunTime(form, key) &&
                    !file.value(form).contains(key + u"Caption"_s))
                    faults << u"missing "_s + form + u": "_s + key;
            }
            for (const QString& key : file.value(form).keys())
                if (!allowed.contains(key))
                    faults << u"unknown "_s + form + u": "_s + key;
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u", "_s)));
        modLanguageSupport::MLSCurrentLanguage = language;
        for (const rules::Level& level : rules::kLevels) {
            const QStringList keys = rules::allInstructionKeys(level);
            QSet<QString> sentences;
            for (const QString& key : keys)
                sentences << file[u"Speech"_s].value(
                    modLanguageSupport::MLSOurFileKey(modLanguageSupport::OurWords::Speech, key));
            QVERIFY2(sentences.size() == keys.size() && !sentences.contains(QString()),
                     qPrintable(u"instructions of level %1"_s.arg(level.number)));
            for (int set = 1; set <= 5; ++set) {
                QSet<QString> phrases;
                for (int index = 0; index < level.pictures(); ++index)
                    phrases << modLanguageSupport::MLSPictureDescription(set, index, level.attributes);
                QVERIFY2(phrases.size() == level.pictures() && !phrases.contains(QString()),
                         qPrintable(u"pictures of set %1, level %2"_s.arg(set).arg(level.number)));
            }
        }
        const QString locale = file[u"Language"_s].value(u"Locale"_s);
        QCOMPARE(modLanguageSupport::MLSSystemLanguage({QLocale(locale).bcp47Name()}), language);
        const auto text = [&](const char* number) { return file[u"Strings"_s].value(QString::fromLatin1(number)); };
        const QStringList single{text("0005"), text("0006"), text("0007"), text("0021"), text("0008")};
        const QStringList first{text("0014"), text("0015"), text("0016"), text("0022")};
        const QStringList second{text("0017"), text("0018"), text("0019"), text("0023")};
        // A change is named alike wherever it appears; the two of the two-change
        // exercise, with a blank between them, fit a label of three characters.
        QCOMPARE(first, single.mid(0, 4));
        QCOMPARE(second, single.mid(0, 4));
        QCOMPARE(QSet<QString>(single.cbegin(), single.cend()).size(), single.size());
        for (const QString& code : single)
            QVERIFY2(code.size() <= 2, qPrintable(code));
        for (const QString& code : first)
            QVERIFY2(code.size() == 1, qPrintable(code));
        const auto label4 = [&](int screen) {
            return file[u"FormEs"_s + QString::number(screen)].value(u"Label4.Caption"_s);
        };
        QCOMPARE((QStringList{label4(1), label4(4), label4(2), label4(3)}), single.sliced(0, 3) << single.last());
        // Letters that join (Arabic) are kept apart by zero-width non-joiners.
        QCOMPARE(label4(7).remove(QChar(0x200C)), text("0007") + text("0005") + text("0006"));
        // A PO file made of the text gives the same text back, of which the
        // build makes the shipped language file.
        QTemporaryDir folder;
        const QString english = QStringLiteral(MF_LANGUAGE_SOURCES) + u"/English.txt"_s;
        const QString source = QStringLiteral(MF_LANGUAGE_SOURCES) + u'/' + language + u".txt"_s;
        QCOMPARE(runTool(MF_LANGUAGE_KIT, {u"to-po"_s, source, english, u"out.po"_s}, folder.path()), 0);
        QCOMPARE(runTool(MF_LANGUAGE_KIT, {u"from-po"_s, u"out.po"_s, english, u"back.txt"_s}, folder.path()), 0);
        QCOMPARE(runTool(MF_LANGUAGE_KIT, {u"to-po"_s, u"back.txt"_s, english, u"again.po"_s}, folder.path()), 0);
        QVERIFY(!file_bytes::read(folder.filePath(u"out.po"_s)).isEmpty());
        QCOMPARE(file_bytes::read(folder.filePath(u"again.po"_s)), file_bytes::read(folder.filePath(u"out.po"_s)));
        QCOMPARE(runTool(MF_LANGUAGE_CONVERTER, {folder.filePath(u"back.txt"_s), folder.filePath(u"back.lng"_s)}), 0);
        QCOMPARE(file_bytes::read(folder.filePath(u"back.lng"_s)),
                 file_bytes::read(QStringLiteral(MF_PROGRAM_DIR) + u'/' + language + u".lng"_s));
    }

    // The translator's check names each fault by its line (that it passes
    // every shipped text is the language_check tests').
    void translatorsKitNamesEachFault() {
        QTemporaryDir folder;
        QVERIFY(file_bytes::write(
            folder.filePath(u"en.txt"_s),
            "; where it shows\n[Language]\nLocale=\"en_GB\"\n[FormMenu]\nCommand7.Caption=\"Colour\"\n"
            "[FormEs2]\nLabel4.Caption=\"F\"\n[Speech]\nSay(A)=\"one %1\"\nSay(B)=\"two\"\nSay(C)=\"three\"\n"));
        QVERIFY(file_bytes::write(
            folder.filePath(u"xx.txt"_s),
            "[Language]\nLocale=\"el_GR\"\n[FormMenu]\nCommand7.Caption=\"" + QByteArray(60, 'x') +
                "\"\n[FormEs2]\nLabel4.Caption=\"\xd8\xb4\"\n[Speech]\nSay(A)=\"ena\"\nSay(B)=\"dio\"\n"
                "Say(D)=\"dio\"\nSay(B)=\"dio\"\n"));
        QString errors;
        QCOMPARE(runTool(MF_LANGUAGE_KIT, {u"check"_s, u"xx.txt"_s, u"en.txt"_s}, folder.path(), &errors), 1);
        QStringList faults = errors.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(faults.size(), 5);
        // A caption far longer than the English one fits its button only in tiny letters; a
        // letter whose dots hang low still fits its label (its font is made smaller).
        QVERIFY2(faults.takeLast().startsWith(u"xx.txt:0: [FormMenu] Command7.Caption: "_s), qPrintable(errors));
        QCOMPARE(faults, (QStringList{u"xx.txt:11: [Speech] Say(B) is given twice"_s,
                                      u"xx.txt:8: [Speech] Say(A) must keep the placeholders of \"one %1\""_s,
                                      u"xx.txt:0: [Speech] Say(C) is missing (English: \"three\")"_s,
                                      u"xx.txt:10: [Speech] Say(D) is no key of the template"_s}));
    }

    void converterRefusesWhatTheProgramCannotRead_data() {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("good") << "; a note\n[S]\nk=\"\xe2\x82\xac \xc3\xa8\"\n\nx=\"\"\n"_ba << true
                              << "[S]\r\nk=\"\x80 \xe8\"\r\n\r\nx=\"\"\r\n"_ba;
        QTest::newRow("outside Windows-1252")
            << "[S]\nk=\"\xc4\x80\"\n"_ba << true << "\xef\xbb\xbf[S]\r\nk=\"\xc4\x80\"\r\n"_ba;
        QTest::newRow("control character") << "[S]\nk=\"a\tb\"\n"_ba << false << QByteArray();
        QTest::newRow("quote inside") << "[S]\nk=\"a\"b\"\n"_ba << false << QByteArray();
        QTest::newRow("key twice") << "[S]\nk=\"a\"\nk=\"b\"\n"_ba << false << QByteArray();
        QTest::newRow("outside a section") << "k=\"a\"\n[S]\n"_ba << false << QByteArray();
        QTest::newRow("not UTF-8") << "[S]\nk=\"\xe8\"\n"_ba << false << QByteArray();
    }

    void converterRefusesWhatTheProgramCannotRead() {
        QFETCH(QByteArray, source);
        QFETCH(bool, accepted);
        QFETCH(QByteArray, written);
        QTemporaryDir folder;
        const QString input = folder.filePath(u"in.txt"_s);
        QVERIFY(file_bytes::write(input, source));
        const QString output = folder.filePath(u"out.lng"_s);
        const int exitCode = runTool(MF_LANGUAGE_CONVERTER, {input, output});
        QVERIFY(exitCode >= 0);
        QCOMPARE(exitCode == 0, accepted);
        QCOMPARE(QFile::exists(output), accepted);
        QCOMPARE(file_bytes::read(output), written);
    }
};

}  // namespace

QTEST_MAIN(LanguageTest)
#include "tst_assets_languages.moc"
