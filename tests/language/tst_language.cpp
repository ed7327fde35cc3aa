#include "language/modLanguageSupport.h"
#include "platform/Design.h"
#include "platform/Process.h"
#include "platform/Screen.h"
#include "resize/clsResize.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using modLanguageSupport::MLSCurrentLanguage;
using modLanguageSupport::MLSGetString;
using modLanguageSupport::MLSReadIni;
using platform::TextProperty;

namespace {

// Pads a file's text with a comment line so that it has exactly `size` bytes.
QByteArray paddedTo(const QByteArray& text, qsizetype size) {
    const QByteArray start = ";";
    const QByteArray end = "\r\n";
    return start + QByteArray(size - text.size() - start.size() - end.size(), 'x') + end + text;
}

// Larger than the profile reader takes.
QByteArray large(const QByteArray& text) {
    return paddedTo(text, 70000);
}

}  // namespace

class LanguageTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;

    QString path(const QString& name) const { return dir_->filePath(name); }

    void write(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    static platform::ScreenDesign testScreen() {
        using platform::Kind;
        platform::ScreenDesign design{"FormTest", 9360, 6540, qRgb(255, 255, 255)};
        design.caption = "Schermo";
        design.controls = {
            {.name = "Label1", .kind = Kind::Label, .left = 120, .top = 120, .width = 2000, .height = 400,
             .caption = "Etichetta"},
            {.name = "Command1", .kind = Kind::CommandButton, .left = 120, .top = 720, .width = 1500,
             .height = 500, .caption = "Vai"},
            {.name = "Picture2", .kind = Kind::PictureBox, .left = 3000, .top = 120, .width = 3000,
             .height = 2000},
            {.name = "Option1", .kind = Kind::OptionButton, .index = 0, .container = "Picture2", .left = 100,
             .top = 100, .width = 2000, .height = 300, .caption = "Primo"},
            {.name = "Option1", .kind = Kind::OptionButton, .index = 1, .container = "Picture2", .left = 100,
             .top = 500, .width = 2000, .height = 300, .caption = "Secondo"},
            {.name = "Picture1", .kind = Kind::Image, .index = 0, .left = 120, .top = 3000, .width = 1000,
             .height = 1000},
            {.name = "Label2", .kind = Kind::Label, .left = 120, .top = 4500, .width = 2000, .height = 400,
             .caption = "Resta"},
            {.name = "mnuEsci", .kind = Kind::MenuCommand, .caption = "Esci"},
        };
        return design;
    }

private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        platform::setProgramFolder(dir_->path());
        MLSCurrentLanguage.clear();
    }

    void cleanup() {
        platform::setProgramFolder(QString());
        MLSCurrentLanguage.clear();
    }

    // Up to 64000 bytes the profile reader looks in the section and ignores
    // the case of keys; above, the line scan takes the first line anywhere
    // that begins with the key exactly.
    void sizeDecidesHowTheFileIsRead() {
        const QByteArray text = "[FormAvvio]\r\nLabel1.Caption=\"Avvio\"\r\n"
                                "[FormMenu]\r\nLabel1.Caption=\"Menu\"\r\nlabel2.caption=\"minuscolo\"\r\n";
        write(u"Italiano.lng"_s, paddedTo(text, 64000));
        QCOMPARE(QFileInfo(path(u"Italiano.lng"_s)).size(), 64000);
        const QString file = path(u"Italiano.lng"_s);
        QCOMPARE(MLSReadIni(file, u"FormMenu"_s, u"Label1.Caption"_s), u"Menu"_s);
        QCOMPARE(MLSReadIni(file, u"FormMenu"_s, u"Label2.Caption"_s), u"minuscolo"_s);
        QCOMPARE(MLSReadIni(file, u"FormEs1"_s, u"Label1.Caption"_s), QString());

        write(u"Italiano.lng"_s, paddedTo(text, 64001));
        QCOMPARE(MLSReadIni(file, u"FormMenu"_s, u"Label1.Caption"_s), u"Avvio"_s);
        QCOMPARE(MLSReadIni(file, u"FormMenu"_s, u"Label2.Caption"_s), QString());
        QCOMPARE(MLSReadIni(file, u"FormEs1"_s, u"Label1.Caption"_s), u"Avvio"_s);
        QCOMPARE(MLSReadIni(file, u"FormMenu"_s, u"label2.caption"_s), u"minuscolo"_s);
    }

    void lineScan_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("quoted") << large("[Strings]\r\n0003=\"Uscire?\"\r\n") << u"Uscire?"_s;
        QTest::newRow("empty quotes") << large("0003=\"\"\r\n0003=\"later\"\r\n") << QString();
        QTest::newRow("no quotes") << large("0003=abc\r\n") << u"b"_s;
        QTest::newRow("one character") << large("0003=a\r\n") << QString();
        QTest::newRow("nothing after the key") << large("0003\r\n") << QString();
        QTest::newRow("longer key first") << large("00031=\"lungo\"\r\n0003=\"corto\"\r\n") << u"\"lungo"_s;
        QTest::newRow("key inside a line") << large("x0003=\"no\"\r\n0003=\"si\"\r\n") << u"si"_s;
        QTest::newRow("missing key") << large("0004=\"altro\"\r\n") << QString();
        QTest::newRow("lone CR") << large("0001=\"uno\"\r0003=\"tre\"\r0004=\"quattro\"\r") << u"tre"_s;
        QTest::newRow("lone LF") << large("0001=\"uno\"\n0003=\"tre\"\n") << u"tre"_s;
        QTest::newRow("last line without end") << large("0001=\"uno\"\r\n0003=\"fine\"") << u"fine"_s;
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF" "0003=\"primo\"\r\n;") + QByteArray(70000, 'x')
                                         << u"primo"_s;
        QTest::newRow("Windows-1252") << large("0003=\"citt\xE0\"\r\n") << u"citt\u00E0"_s;
        QTest::newRow("UTF-8") << large("0003=\"citt\xC3\xA0\"\r\n") << u"citt\u00E0"_s;
        // The whole file decides: one byte that is not UTF-8 makes every line Windows-1252.
        QTest::newRow("Windows-1252 file") << large("0003=\"\xC3\xA0\"\r\n0004=\"citt\xE0\"\r\n")
                                           << u"\u00C3\u00A0"_s;
    }

    void lineScan() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        write(u"big.lng"_s, bytes);
        QCOMPARE(MLSReadIni(path(u"big.lng"_s), u"Strings"_s, u"0003"_s), expected);
    }

    void lineScanOfVeryLongLines() {
        const QByteArray megabyte(1024 * 1024, 'a');
        write(u"long.lng"_s, "0001=\"" + megabyte + "\"\r\n0002=\"dopo\"\r\n");
        const QString file = path(u"long.lng"_s);
        QCOMPARE(MLSReadIni(file, u"Strings"_s, u"0002"_s), u"dopo"_s);
        QCOMPARE(MLSReadIni(file, u"Strings"_s, u"0001"_s), QString(511, u'a'));

        // A line cut inside a character of three bytes still reads as UTF-8.
        QByteArray euros;
        for (int i = 0; i < 100000; ++i)
            euros += "\xE2\x82\xAC";
        write(u"long.lng"_s, "0001=\"" + euros + "\"\r\n");
        QCOMPARE(MLSReadIni(file, u"Strings"_s, u"0001"_s), QString(511, QChar(0x20AC)));
    }

    void missingFiles() {
        QCOMPARE(MLSReadIni(path(u"none.lng"_s), u"Strings"_s, u"0001"_s), std::nullopt);
        QVERIFY(QDir(dir_->path()).mkdir(u"folder.lng"_s));
        QCOMPARE(MLSReadIni(path(u"folder.lng"_s), u"Strings"_s, u"0001"_s), std::nullopt);
        write(u"empty.lng"_s, {});
        QCOMPARE(MLSReadIni(path(u"empty.lng"_s), u"Strings"_s, u"0001"_s), QString());

        // No settings file: the language stays empty and every text is empty.
        write(u".lng"_s, "[Strings]\r\n0001=\"senza nome\"\r\n");
        QCOMPARE(MLSGetString(u"0001"_s), u"senza nome"_s);
        QCOMPARE(MLSCurrentLanguage, QString());
        QFile::remove(path(u".lng"_s));
        QCOMPARE(MLSGetString(u"0001"_s), QString());
    }

    void currentLanguageComesFromTheSettingsOnce() {
        const QString settings = modLanguageSupport::SettingsFile();
        QCOMPARE(settings, path(u"LangSetting.ini"_s));
        write(u"English.lng"_s, "[Strings]\r\n0001=\"Hello\"\r\n");
        write(u"Italiano.lng"_s, "[Strings]\r\n0001=\"Ciao\"\r\n");

        // A settings file without the key leaves the language empty, so the
        // next lookup reads the settings again.
        write(u"LangSetting.ini"_s, "[Language]\r\n");
        QCOMPARE(MLSGetString(u"0001"_s), QString());
        QCOMPARE(MLSCurrentLanguage, QString());

        QVERIFY(modLanguageSupport::MLSWriteIni(settings, u"Language"_s, u"CurrentLanguage"_s, u"English"_s) != 0);
        QCOMPARE(MLSGetString(u"0001"_s), u"Hello"_s);
        QCOMPARE(MLSCurrentLanguage, u"English"_s);

        modLanguageSupport::MLSWriteIni(settings, u"Language"_s, u"CurrentLanguage"_s, u"Italiano"_s);
        QCOMPARE(MLSGetString(u"0001"_s), u"Hello"_s);
        QCOMPARE(MLSGetString(u"0002"_s), QString());

        // Nothing is cached: a changed file shows at the next lookup.
        write(u"English.lng"_s, "[Strings]\r\n0001=\"Hi\"\r\n");
        QCOMPARE(MLSGetString(u"0001"_s), u"Hi"_s);
        QFile::remove(path(u"English.lng"_s));
        QCOMPARE(MLSGetString(u"0001"_s), QString());
    }

    void languageNamesNeverLeaveTheProgramFolder_data() {
        QTest::addColumn<QString>("language");
        QTest::newRow("parent") << u"../outside"_s;
        QTest::newRow("sub-folder") << u"inner/x"_s;
        QTest::newRow("backslash") << u"inner\\x"_s;
        QTest::newRow("dots") << u".."_s;
    }

    void languageNamesNeverLeaveTheProgramFolder() {
        QFETCH(QString, language);
        QVERIFY(QDir(dir_->path()).mkpath(u"program/inner"_s));
        const QByteArray leak = "[Strings]\r\n0001=\"leak\"\r\n";
        write(u"outside.lng"_s, leak);
        write(u"program/inner/x.lng"_s, leak);
        write(u"program/inner\\x.lng"_s, leak);
        write(u"program/...lng"_s, leak);
        platform::setProgramFolder(path(u"program"_s));
        QVERIFY(modLanguageSupport::MLSWriteIni(modLanguageSupport::SettingsFile(), u"Language"_s,
                                                u"CurrentLanguage"_s, language) != 0);

        QCOMPARE(MLSGetString(u"0001"_s), QString());
        QCOMPARE(MLSCurrentLanguage, language);
        QCOMPARE(modLanguageSupport::CurrentLanguageFile(), QString());
    }

    void languageFileBesideTheFolder() {
        QCOMPARE(modLanguageSupport::LanguageFile(u"English"_s), path(u"English.lng"_s));
        platform::setProgramFolder(u"/"_s);
        QCOMPARE(modLanguageSupport::LanguageFile(u"English"_s), u"/English.lng"_s);
        QCOMPARE(modLanguageSupport::SettingsFile(), u"/LangSetting.ini"_s);
    }

    void translateScreen() {
        write(u"English.lng"_s,
              "[FormTest]\r\n"
              "FormTest.Caption=\"Test screen\"\r\n"
              "Label1.Caption=\"Label\"\r\n"
              "Label1.ToolTipText=\"Tip\"\r\n"
              "Command1.Caption=\"\"\r\n"
              "Option1(0).Caption=\"First\"\r\n"
              "Option1.Caption=\"Not an element\"\r\n"
              "Picture1(0).Caption=\"Images have none\"\r\n"
              "Picture1(0).ToolTipText=\"Picture\"\r\n"
              "Picture2.Tag=\"box\"\r\n"
              "mnuEsci.Caption=\"Exit\"\r\n"
              "mnuEsci.ToolTipText=\"Menus have none\"\r\n"
              "[Other]\r\n"
              "Label2.Caption=\"Other screen\"\r\n");
        platform::Screen screen(testScreen());
        screen.Load();
        MLSCurrentLanguage = u"English"_s;
        modLanguageSupport::MLSTranslateForm(screen);

        QCOMPARE(screen.caption(), u"Test screen"_s);
        const auto text = [&screen](const char* name, int index, TextProperty property) {
            return screen.control(QString::fromLatin1(name), index).text(property);
        };
        QCOMPARE(text("Label1", -1, TextProperty::Caption), u"Label"_s);
        QCOMPARE(text("Label1", -1, TextProperty::ToolTipText), u"Tip"_s);
        QCOMPARE(text("Command1", -1, TextProperty::Caption), u"Vai"_s);
        QCOMPARE(text("Option1", 0, TextProperty::Caption), u"First"_s);
        QCOMPARE(text("Option1", 1, TextProperty::Caption), u"Secondo"_s);
        QCOMPARE(text("Picture1", 0, TextProperty::Caption), std::nullopt);
        QCOMPARE(text("Picture1", 0, TextProperty::ToolTipText), u"Picture"_s);
        QCOMPARE(text("Picture2", -1, TextProperty::Tag), u"box"_s);
        QCOMPARE(text("Label2", -1, TextProperty::Caption), u"Resta"_s);
        QCOMPARE(text("mnuEsci", -1, TextProperty::Caption), u"Exit"_s);
        QCOMPARE(text("mnuEsci", -1, TextProperty::ToolTipText), std::nullopt);

        // A language without the key keeps the texts of the first one.
        write(u"Deutsch.lng"_s, "[FormTest]\r\nLabel2.Caption=\"Bleibt\"\r\n");
        MLSCurrentLanguage = u"Deutsch"_s;
        modLanguageSupport::MLSTranslateForm(screen);
        QCOMPARE(text("Label1", -1, TextProperty::Caption), u"Label"_s);
        QCOMPARE(text("Label2", -1, TextProperty::Caption), u"Bleibt"_s);
    }

    // The window caption is replaced only while it is not empty, even by an
    // empty text; a missing language file keeps it.
    void screenCaption() {
        platform::Screen screen(testScreen());
        screen.Load();
        MLSCurrentLanguage = u"Missing"_s;
        modLanguageSupport::MLSTranslateForm(screen);
        QCOMPARE(screen.caption(), u"Schermo"_s);
        QCOMPARE(screen.control(u"Label1"_s).text(TextProperty::Caption), u"Etichetta"_s);

        write(u"NoCaption.lng"_s, "[FormTest]\r\nLabel1.Caption=\"Label\"\r\n");
        MLSCurrentLanguage = u"NoCaption"_s;
        modLanguageSupport::MLSTranslateForm(screen);
        QCOMPARE(screen.caption(), QString());

        write(u"English.lng"_s, "[FormTest]\r\nFormTest.Caption=\"Test screen\"\r\n");
        MLSCurrentLanguage = u"English"_s;
        modLanguageSupport::MLSTranslateForm(screen);
        QCOMPARE(screen.caption(), QString());
    }

    // A tag set by a translation is read by the next resizing pass.
    void translatedTagsChangeResizing() {
        write(u"English.lng"_s, "[FormTest]\r\nLabel1.Tag=\"@wh\"\r\nLabel2.Tag=\"no flags\"\r\n");
        platform::Screen screen(testScreen());
        screen.Load();
        MLSCurrentLanguage = u"English"_s;
        modLanguageSupport::MLSTranslateForm(screen);

        clsResize resize;
        resize.SourceForm(&screen);
        resize.ResizeControls();
        screen.setWidth(screen.width() - screen.scaleWidth() + 2 * 9360);
        screen.setHeight(screen.height() - screen.scaleHeight() + 2 * 6540);
        QCOMPARE(screen.scaleWidth(), 2 * 9360.0);
        resize.ResizeControls();

        const auto coordinates = [&screen](const char* name) {
            const platform::Control& control = screen.control(QString::fromLatin1(name));
            return QList<double>{*control.coordinate(platform::Coordinate::Left),
                                 *control.coordinate(platform::Coordinate::Top),
                                 *control.coordinate(platform::Coordinate::Width),
                                 *control.coordinate(platform::Coordinate::Height)};
        };
        QCOMPARE(coordinates("Label1"), (QList<double>{120, 120, 4000, 800}));
        QCOMPARE(coordinates("Label2"), (QList<double>{240, 9000, 4000, 800}));
    }
};

QTEST_MAIN(LanguageTest)
#include "tst_language.moc"
