#include "AccessibleTexts.h"
#include "DataFiles.h"
#include "FileBytes.h"
#include "OptionalPrinting.h"
#include "TestScreen.h"
#include "Text8Bit.h"
#include "Unprivileged.h"
#include "modLanguageSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using forms::TextProperty;
using modLanguageSupport::MLSCurrentLanguage;
using modLanguageSupport::MLSGetString;
using modLanguageSupport::MLSReadIni;

namespace {

// Puts a comment line before the text so that the file has exactly `size` bytes.
QByteArray paddedTo(const QByteArray& text, qsizetype size = 70000) {
    return ';' + QByteArray(size - text.size() - 3, 'x') + "\r\n" + text;
}

}  // namespace

class LanguageTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;

    QString path(const QString& name) const { return dir_->filePath(name); }

    void write(const QString& name, const QByteArray& bytes) const { QVERIFY(file_bytes::write(path(name), bytes)); }

    void storeLanguage(const QString& language) const {
        QVERIFY(modLanguageSupport::MLSWriteIni(files::settingsFileToWrite(), u"Language"_s, u"CurrentLanguage"_s,
                                                language) != 0);
    }

    static std::unique_ptr<forms::Screen> translated(const QString& language) {
        auto screen = std::make_unique<forms::Screen>(test_screen::design());
        screen->Load();
        MLSCurrentLanguage = language;
        modLanguageSupport::MLSTranslateForm(*screen);
        return screen;
    }

private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        files::setExecutableFolder(dir_->path());
        MLSCurrentLanguage.clear();
    }

    void cleanup() {
        files::setExecutableFolder(QString());
        MLSCurrentLanguage.clear();
    }

    void lineScan_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        // Up to 64000 bytes the profile reader looks in the section; above,
        // the line scan takes the first line anywhere that begins with the key.
        const QByteArray sections = "[Other]\r\n0003=\"altro\"\r\n[STRINGS]\r\n0003=\"si\"\r\n";
        QTest::newRow("64000 bytes") << paddedTo(sections, 64000) << u"si"_s;
        QTest::newRow("64001 bytes") << paddedTo(sections, 64001) << u"altro"_s;
        QTest::newRow("no such key") << paddedTo("0001=\"uno\"\r\n") << QString();
        QTest::newRow("quoted") << paddedTo("[Strings]\r\n0003=\"Uscire?\"\r\n") << u"Uscire?"_s;
        QTest::newRow("empty quotes") << paddedTo("0003=\"\"\r\n0003=\"later\"\r\n") << QString();
        QTest::newRow("no quotes") << paddedTo("0003=abc\r\n") << u"b"_s;
        QTest::newRow("longer key first") << paddedTo("00031=\"lungo\"\r\n0003=\"corto\"\r\n") << u"\"lungo"_s;
        QTest::newRow("key inside a line") << paddedTo("x0003=\"no\"\r\n0003=\"si\"\r\n") << u"si"_s;
        QTest::newRow("lone CR") << paddedTo("0001=\"uno\"\r0003=\"tre\"\r0004=\"quattro\"\r") << u"tre"_s;
        QTest::newRow("last line without end") << paddedTo("0001=\"uno\"\r\n0003=\"fine\"") << u"fine"_s;
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF" + QByteArray("0003=\"primo\"\r\n;") +
                                                       QByteArray(70000, 'x'))
                                         << u"primo"_s;
        QTest::newRow("UTF-8") << paddedTo("0003=\"citt\xC3\xA0\"\r\n") << u"citt\u00E0"_s;
        const QByteArray emoji = "\xF0\x9F\x98\x80";
        QTest::newRow("no closing quote after an emoji") << paddedTo("0003=\"abc" + emoji + "\n") << u"abc"_s;
        // A character outside the BMP right after "=", or in its place, is passed over whole.
        QTest::newRow("emoji after =") << paddedTo("0003=" + emoji + "abc" + emoji + "\n") << u"abc"_s;
        QTest::newRow("emoji for =") << paddedTo("0003" + emoji + "\"abc\"\n") << u"abc"_s;
        QTest::newRow("UTF-16") << files::encodeUtf16(QString::fromLatin1(paddedTo("0003=\"\xE9t\xE9\"\n")),
                                                      QStringConverter::Utf16LE)
                                << u"\u00E9t\u00E9"_s;
        // The whole file decides: one byte that is not UTF-8 makes every line Windows-1252.
        QTest::newRow("Windows-1252 file")
            << paddedTo("0003=\"\xC3\xA0\"\r\n0004=\"citt\xE0\"\r\n") << u"\u00C3\u00A0"_s;
        // The file is searched in pieces of 1 MiB: the key, the line ending
        // before it, or the line after it may span two.
        const QByteArray entry = "0003=\"tre\"\r\n";
        constexpr qsizetype kPiece = 1024 * 1024;
        for (const qsizetype keyAt : {-5, -4, -3, -2, -1, 0, 1})
            QTest::newRow(qPrintable(u"key at %1 of a piece's end"_s.arg(keyAt)))
                << paddedTo(entry, kPiece + keyAt + entry.size()) << u"tre"_s;
        for (const qsizetype keyAt : {-4, -3, -1, 0})
            QTest::newRow(qPrintable(u"key inside a line at %1 of a piece's end"_s.arg(keyAt)))
                << paddedTo("x" + entry + "0003=\"si\"\n", kPiece + keyAt - 1 + entry.size() + 11) << u"si"_s;
        QTest::newRow("lone CR before a piece's end") << paddedTo("\r" + entry, kPiece + entry.size()) << u"tre"_s;
        // A line of a megabyte is neither held whole nor lost track of; a cut inside a character of three bytes
        // still reads as UTF-8.
        const QByteArray megabyte = "0003=\"" + QByteArray(1024 * 1024, 'a') + "\"\r\n";
        QTest::newRow("very long line") << megabyte << QString(511, u'a');
        QTest::newRow("after a very long line")
            << QByteArray("0001" + megabyte.sliced(4) + "0003=\"dopo\"\r\n") << u"dopo"_s;
        QTest::newRow("cut character") << QByteArray("0003=\"" + QByteArray("\xE2\x82\xAC").repeated(100000) + "\"\r\n")
                                       << QString(511, QChar(0x20AC));
    }

    void lineScan() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        write(u"big.lng"_s, bytes);
        QCOMPARE(MLSReadIni(path(u"big.lng"_s), u"Strings"_s, u"0003"_s), expected);
    }

    void missingFiles() {
        QVERIFY(QDir(dir_->path()).mkdir(u"folder.lng"_s));
        QVERIFY(QFile::link(u"/proc/self/pagemap"_s, path(u"kernel.lng"_s)));
        for (const QString& name : {u"none.lng"_s, u"folder.lng"_s, u"kernel.lng"_s})
            QCOMPARE(MLSReadIni(path(name), u"Strings"_s, u"0001"_s), std::nullopt);
        write(u"empty.lng"_s, {});
        QCOMPARE(MLSReadIni(path(u"empty.lng"_s), u"Strings"_s, u"0001"_s), QString());
    }

    // The menu lists the first hundred language files by name, none from
    // outside the program folder.
    void languageNamesNeverLeaveTheProgramFolder() {
        QVERIFY(QDir(dir_->path()).mkpath(u"program/inner"_s));
        for (const QString& name : {u"outside.lng"_s, u"program/inner/x.lng"_s, u"program/inner\\x.lng"_s})
            write(name, "[Strings]\r\n0001=\"leak\"\r\n");
        files::setExecutableFolder(path(u"program"_s));
        write(u"program/Italiano.lng"_s, {});
        QStringList expected{u"Italiano"_s};
        for (int i = 0; i <= files::kLanguageNamesMax; ++i) {
            const QString name = u"L%1"_s.arg(i, 3, 10, QChar(u'0'));
            write(u"program/"_s + name + u".lng"_s, {});
            if (expected.size() < files::kLanguageNamesMax)
                expected.append(name);
        }
        QCOMPARE(files::languageNames(), expected);
        for (const QString& language : {u"../outside"_s, u"inner/x"_s, u"inner\\x"_s}) {
            storeLanguage(language);
            MLSCurrentLanguage.clear();
            QCOMPARE(MLSGetString(u"0001"_s), QString());
            QCOMPARE(MLSCurrentLanguage, language);
        }
    }

    // Where the data and the settings lie: in the executable's folder when it
    // holds the data (known by its names: gif/, suoni/ or the Italian file),
    // else in an installed prefix. A portable folder keeps the choice while it
    // can be written, else in the user's own file, which only counts while it
    // holds a choice; an installed one always in the user's own file, root's
    // included. Rows of a read-only folder run as nobody under root.
    void settingsFollowTheProgramFolder_data() {
        QTest::addColumn<QString>("dataIn");  // the data's folder, and what marks the executable's
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QByteArray>("userFile");
        QTest::addColumn<QString>("stored");  // before a choice is written
        const QString english = u"English"_s;
        const QString installed = u"prefix/share/metamorfine"_s;
        for (const QString& marker : {QString(), u" gif"_s, u" suoni"_s, u" Italiano.lng"_s})
            QTest::addRow("portable%s", qPrintable(QString(marker).replace(u' ', u", "_s)))
                << u"prefix/bin"_s + marker << false << QByteArray() << english;
        // An installed data folder's file (left by an older version) is not read, even where it can be written.
        QTest::newRow("installed") << installed << false << QByteArray() << QString();
        QTest::newRow("installed, other files in bin")
            << installed + u" Other.lng"_s << false << QByteArray() << QString();
        QTest::newRow("installed, user file")
            << installed << false << QByteArray("[Language]\nCurrentLanguage=Deutsch") << u"Deutsch"_s;
        QTest::newRow("read-only") << installed << true << QByteArray() << QString();
        QTest::newRow("portable, read-only") << u"prefix/bin"_s << true << QByteArray() << english;
        QTest::newRow("user file") << u"prefix/bin"_s << true << QByteArray("[Language]\nCurrentLanguage=Deutsch")
                                   << u"Deutsch"_s;
        QTest::newRow("junk") << u"prefix/bin"_s << true << QByteArray("\x01\xff[[=") << english;
    }
    void settingsFollowTheProgramFolder() {
        QFETCH(QString, dataIn);
        QFETCH(bool, readOnly);
        QFETCH(QByteArray, userFile);
        QFETCH(QString, stored);
        if (readOnly && unprivileged::runningAsRoot()) {  // root writes to any folder
            QVERIFY(unprivileged::currentRowPassesUnprivileged());
            return;
        }
        const QString data = dataIn.section(u' ', 0, 0);
        const QString marker = dataIn.section(u' ', 1);
        // An installed prefix beside the executable's folder, except in a bare portable folder.
        if (data != u"prefix/bin"_s || !marker.isEmpty())
            QVERIFY(QDir(dir_->path()).mkpath(u"prefix/share/metamorfine"_s));
        QVERIFY(QDir(dir_->path()).mkpath(u"prefix/bin"_s));
        if (marker.endsWith(u".lng"_s))
            write(u"prefix/bin/"_s + marker, "[Strings]\r\n");
        else if (!marker.isEmpty())
            QVERIFY(QDir(path(u"prefix/bin"_s)).mkdir(marker));
        write(data + u"/English.lng"_s, "[Strings]\r\n");
        write(data + u"/LangSetting.ini"_s, "[Language]\r\nCurrentLanguage=English\r\n");
        const QString config = path(u"config"_s);
        const QString own = config + u"/metamorfine/LangSetting.ini"_s;
        qputenv("XDG_CONFIG_HOME", config.toUtf8());
        QVERIFY(QDir().mkpath(config + u"/metamorfine"_s));
        if (!userFile.isEmpty())
            write(u"config/metamorfine/LangSetting.ini"_s, userFile);
        files::setExecutableFolder(path(u"prefix/bin"_s));
        QFile::setPermissions(path(data), readOnly ? QFile::ReadOwner | QFile::ExeOwner
                                                   : QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QCOMPARE(files::dataFolder(), path(data));
        const QStringList languages =
            marker == u"Italiano.lng"_s ? QStringList{u"English"_s, u"Italiano"_s} : QStringList{u"English"_s};
        QCOMPARE(files::languageNames(), languages);
        QCOMPARE(modLanguageSupport::MLSStoredLanguage().value_or(QString()), stored);
        const bool inDataFolder = data == u"prefix/bin"_s && !readOnly;
        QCOMPARE(files::settingsFileToWrite(), inDataFolder ? path(data + u"/LangSetting.ini"_s) : own);
        if (userFile.isEmpty()) {
            storeLanguage(u"Français"_s);
            QCOMPARE(modLanguageSupport::MLSStoredLanguage(), u"Français"_s);
            QCOMPARE(MLSReadIni(path(data + u"/LangSetting.ini"_s), u"Language"_s, u"CurrentLanguage"_s),
                     inDataFolder ? u"Français"_s : u"English"_s);
        }
        QFile::setPermissions(path(data), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // The system's settings give the language of a user who has chosen none,
    // and of every user while they lock it. The run's language is read from
    // the settings at its first text, once.
    void theSettingsGiveTheLanguage() {
        write(u"English.lng"_s, "[Strings]\r\n0001=\"Hello\"\r\n");
        QVERIFY(QDir(dir_->path()).mkpath(u"system/metamorfine"_s));
        const QByteArray system = "[Language]\nCurrentLanguage=Deutsch\n";
        write(u"system/metamorfine/metamorfine.conf"_s, system);
        qputenv("XDG_CONFIG_DIRS", path(u"system"_s).toLocal8Bit());
        QCOMPARE(modLanguageSupport::MLSStoredLanguage(), u"Deutsch"_s);
        storeLanguage(u"English"_s);
        QCOMPARE(modLanguageSupport::MLSStoredLanguage(), u"English"_s);
        QCOMPARE(MLSGetString(u"0001"_s), u"Hello"_s);
        QCOMPARE(MLSCurrentLanguage, u"English"_s);
        write(u"system/metamorfine/metamorfine.conf"_s, system + "[Locked]\nKeys=Language/CurrentLanguage\n");
        QCOMPARE(modLanguageSupport::MLSStoredLanguage(), u"Deutsch"_s);
        QCOMPARE(MLSGetString(u"0001"_s), u"Hello"_s);
        qputenv("XDG_CONFIG_DIRS", "/nonexistent");
        QCOMPARE(modLanguageSupport::MLSStoredLanguage(), u"English"_s);
    }

    // The first run speaks the system's language when a file is for it, else Italian.
    void firstRunTakesTheSystemLanguage() {
        for (const auto& [name, locale] : {std::pair{"Deutsch", "de_DE"}, {"English", "en_GB"}, {"Italiano", "it"}})
            write(QString::fromUtf8(name) + u".lng"_s, "[Language]\r\nLocale=\"" + QByteArray(locale) + "\"\r\n");
        const std::pair<QStringList, QString> cases[] = {
            {{u"de-DE"_s, u"de"_s}, u"Deutsch"_s}, {{u"en-GB"_s}, u"English"_s},
            {{u"pt-BR"_s, u"en"_s}, u"English"_s}, {{u"C"_s}, u"Italiano"_s},
            {{u"fr_FR"_s}, u"Italiano"_s},         {{}, u"Italiano"_s},
        };
        for (const auto& [uiLanguages, expected] : cases)
            QCOMPARE(modLanguageSupport::MLSSystemLanguage(uiLanguages), expected);
        QCOMPARE(MLSCurrentLanguage, QString());
        MLSCurrentLanguage = u"Deutsch"_s;
        QCOMPARE(modLanguageSupport::MLSCurrentLocale(), u"de_DE"_s);
        MLSCurrentLanguage = u"none"_s;
        QCOMPARE(modLanguageSupport::MLSCurrentLocale(), u"it_IT"_s);
    }

    // The words of ours are read again only when a screen is translated (at
    // every load and language change); the numbered strings at every lookup.
    // A pattern is filled in one pass: a value holding "%2" stays as it is.
    void ourWordsAreKeptBetweenTranslations() {
        using modLanguageSupport::MLSOurWord;
        using modLanguageSupport::OurWords;
        const auto language = [](const char* word) -> QByteArray {
            return "[Speech]\r\nSay(Colour)=\"" + QByteArray(word) + "\"\r\n[Accessibility]\r\nName(Picture)=\"" +
                   word + " %1 of %2: %3\"\r\n[Strings]\r\n0001=\"" + word + "\"\r\n";
        };
        write(u"English.lng"_s, language("one"));
        write(u"Deutsch.lng"_s, language("eins"));
        const auto screen = translated(u"English"_s);
        QCOMPARE(MLSOurWord(OurWords::Speech, u"Colour"_s), u"one"_s);
        QCOMPARE(modLanguageSupport::MLSAccessibleFill(u"Picture"_s, {u"a%2"_s, u"b"_s, u"%1c"_s}),
                 u"one a%2 of b: %1c"_s);
        const quint64 reads = modLanguageSupport::MLSReadCount();
        write(u"English.lng"_s, language("two"));
        QCOMPARE(MLSOurWord(OurWords::Speech, u"Colour"_s), u"one"_s);
        QCOMPARE(modLanguageSupport::MLSAccessibleFill(u"Picture"_s, {u"1"_s, u"8"_s}), u"one 1 of 8: %3"_s);
        QCOMPARE(modLanguageSupport::MLSReadCount(), reads);
        QCOMPARE(MLSGetString(u"0001"_s), u"two"_s);
        QCOMPARE(modLanguageSupport::MLSReadCount(), reads + 1);
        QCOMPARE(MLSOurWord(OurWords::Speech, u"Colour"_s, u"Deutsch"_s), u"eins"_s);
        modLanguageSupport::MLSTranslateForm(*screen);
        QCOMPARE(MLSOurWord(OurWords::Speech, u"Colour"_s), u"two"_s);
        // Without a pattern the values are joined, the empty ones left out.
        QCOMPARE(modLanguageSupport::MLSAccessibleFill(u"Nothing"_s, {u"a"_s, QString(), u"c"_s}), u"a c"_s);
    }

    void translateScreen() {
        write(u"English.lng"_s,
              "[FormTest]\r\n"
              "FormTest.Caption=\"Test screen\"\r\n"
              "Label1.Caption=\"Label\"\r\n"
              "Command1.Caption=\"\"\r\n"
              "Option1(0).Caption=\"First\"\r\n"
              "Option1.Caption=\"Not an element\"\r\n"
              "Picture1(0).Caption=\"Images have none\"\r\n"
              "Picture1(0).ToolTipText=\"Picture\"\r\n"
              "Picture2.Tag=\"box\"\r\n"
              "mnuEsci.Caption=\"Exit\"\r\n"
              "[Other]\r\n"
              "Label2.Caption=\"Other screen\"\r\n");
        const auto screen = translated(u"English"_s);
        const auto text = [&screen](const char* name, int index, TextProperty property) {
            return screen->control(QString::fromLatin1(name), index).text(property);
        };
        QCOMPARE(screen->caption(), u"Test screen"_s);
        QCOMPARE(text("Label1", -1, TextProperty::Caption), u"Label"_s);
        QCOMPARE(text("Command1", -1, TextProperty::Caption), u"Vai"_s);
        QCOMPARE(text("Option1", 0, TextProperty::Caption), u"First"_s);
        QCOMPARE(text("Option1", 1, TextProperty::Caption), u"Secondo"_s);
        QCOMPARE(text("Picture1", 0, TextProperty::Caption), std::nullopt);
        QCOMPARE(text("Picture1", 0, TextProperty::ToolTipText), u"Picture"_s);
        QCOMPARE(text("Picture2", -1, TextProperty::Tag), u"box"_s);
        QCOMPARE(text("Label2", -1, TextProperty::Caption), u"Resta"_s);
        QCOMPARE(text("mnuEsci", -1, TextProperty::Caption), u"Exit"_s);

        // A missing language file keeps every text; a file without the
        // screen's caption empties it, and an empty caption stays empty.
        MLSCurrentLanguage = u"Missing"_s;
        modLanguageSupport::MLSTranslateForm(*screen);
        QCOMPARE(screen->caption(), u"Test screen"_s);
        QCOMPARE(text("Label1", -1, TextProperty::Caption), u"Label"_s);
        write(u"Deutsch.lng"_s, "[FormTest]\r\nLabel2.Caption=\"Bleibt\"\r\n");
        MLSCurrentLanguage = u"Deutsch"_s;
        modLanguageSupport::MLSTranslateForm(*screen);
        QCOMPARE(screen->caption(), QString());
        QCOMPARE(text("Label2", -1, TextProperty::Caption), u"Bleibt"_s);
        MLSCurrentLanguage = u"English"_s;
        modLanguageSupport::MLSTranslateForm(*screen);
        QCOMPARE(screen->caption(), QString());
    }

    // Each picture is told by the phrase of its set and file: files 1 to 8
    // where the pattern is not drawn, files 1 to 16 by phrases that name it
    // where it is. A phrase the file lacks is the designed language's.
    void everyPictureIsDescribedByItsOwnPhrase() {
        QByteArray english = "[Accessibility]\r\n";
        for (int file = 1; file <= 16; ++file) {
            const QByteArray n = QByteArray::number(file);
            if (file <= 8 && file != 6)
                english += "Name(Set2.Picture" + n + ")=\"p" + n + "\"\r\n";
            english += "Name(Set2.Pattern.Picture" + n + ")=\"s" + n + "\"\r\n";
        }
        write(u"English.lng"_s, english);
        write(u"Italiano.lng"_s,
              "[Language]\r\nLocale=\"it_IT\"\r\n[Accessibility]\r\n"
              "Name(Set2.Picture6)=\"stella gialla\"\r\nName(Set3.Picture6)=\"cuore\"\r\n");
        MLSCurrentLanguage = u"English"_s;
        for (int index = 0; index < 8; ++index)
            QCOMPARE(modLanguageSupport::MLSPictureDescription(2, index, 3),
                     index == 5 ? u"stella gialla"_s : u"p"_s + QString::number(index + 1));
        for (int index = 0; index < 16; ++index)
            QCOMPARE(modLanguageSupport::MLSPictureDescription(2, index, 4), u"s"_s + QString::number(index + 1));
        QCOMPARE(modLanguageSupport::MLSPictureDescription(3, 5, 3), u"cuore"_s);
        QCOMPARE(modLanguageSupport::MLSPictureDescription(3, 5, 4), QString());
    }
};

QTEST_MAIN(LanguageTest)
#include "tst_language.moc"
