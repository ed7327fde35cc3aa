// The 8-bit text of language and settings files, and the profile reader and
// writer, against hand-made files.

#include "platform/Profile.h"
#include "platform/Text8Bit.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;
using platform::GetPrivateProfileString;
using platform::TextEncoding;
using platform::WritePrivateProfileString;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

long peakMemoryKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

class SettingsFilesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void windows1252MapsEveryByteBothWays();
    void detectsUtf8OnlyWhenValidAndNotAscii();
    void encodedTextReadsBackTheSame();

    void readsEntries_data();
    void readsEntries();
    void missingFileSectionOrKeyGivesFallback();
    void junkAndHugeFilesAreSurvived();

    void writerKeepsEveryOtherLine_data();
    void writerKeepsEveryOtherLine();
    void writerCreatesFileAndKeepsEncoding();
    void writtenValuesReadBackTheSame();
    void failedWriteLeavesOldFileWhole();

private:
    QTemporaryDir folder_;
    QString path(const QString& name) const { return folder_.filePath(name); }
};

void SettingsFilesTest::windows1252MapsEveryByteBothWays()
{
    QByteArray everyByte;
    for (int code = 0; code < 256; ++code)
        everyByte.append(static_cast<char>(code));
    const QString text = platform::decodeTextAs(everyByte, TextEncoding::Windows1252);
    QCOMPARE(text.size(), 256);
    QCOMPARE(platform::encodeTextAs(text, TextEncoding::Windows1252), everyByte);

    // ICU's table, where this Qt has it, is an independent reference.
    QStringDecoder reference("windows-1252");
    if (reference.isValid())
        QCOMPARE(text, QString(reference.decode(everyByte)));

    QCOMPARE(platform::encodeTextAs(u"\u20AC \u0178 \u2122 \u0160"_s, TextEncoding::Windows1252),
             QByteArray("\x80 \x9F \x99 \x8A"));
    // Control characters the code page puts letters in place of have no byte.
    QVERIFY(!platform::encodeTextAs(u"\u0080"_s, TextEncoding::Windows1252));
    QVERIFY(!platform::encodeTextAs(u"\u0416"_s, TextEncoding::Windows1252));
}

void SettingsFilesTest::detectsUtf8OnlyWhenValidAndNotAscii()
{
    const QByteArray utf8 = u"caff\u00E8 \u20AC"_s.toUtf8();
    const QByteArray withBom = QByteArray("\xEF\xBB\xBF") + utf8;
    const QByteArray cutOff = utf8.chopped(1);
    QCOMPARE(platform::detectTextEncoding(utf8), TextEncoding::Utf8);
    QCOMPARE(platform::detectTextEncoding(withBom), TextEncoding::Utf8WithBom);
    QCOMPARE(platform::detectTextEncoding("\xEF\xBB\xBFplain"), TextEncoding::Utf8WithBom);
    QCOMPARE(platform::detectTextEncoding("plain ascii"), TextEncoding::Windows1252);
    QCOMPARE(platform::detectTextEncoding("caff\xE8"), TextEncoding::Windows1252);
    QCOMPARE(platform::detectTextEncoding(QByteArray(utf8 + "\xE8")), TextEncoding::Windows1252);
    // A sequence cut off by the end of the file is not valid UTF-8.
    QCOMPARE(platform::detectTextEncoding(cutOff), TextEncoding::Windows1252);
    // Overlong forms and encoded surrogates are not valid either.
    QCOMPARE(platform::detectTextEncoding("\xC0\xAF"), TextEncoding::Windows1252);
    QCOMPARE(platform::detectTextEncoding("\xED\xA0\x80"), TextEncoding::Windows1252);

    // Fed in pieces that split sequences, the answer is the same.
    for (const QByteArray& bytes : {withBom, utf8, cutOff}) {
        platform::TextEncodingDetector detector;
        for (const char byte : bytes)
            detector.feed(QByteArrayView(&byte, 1));
        QCOMPARE(detector.finish(), platform::detectTextEncoding(bytes));
    }

    QCOMPARE(platform::decodeText(withBom), u"caff\u00E8 \u20AC"_s);
    QCOMPARE(platform::decodeText("caff\xE8 \x80"), u"caff\u00E8 \u20AC"_s);
}

void SettingsFilesTest::encodedTextReadsBackTheSame()
{
    const QString italian = u"Perch\u00E9 \u00E8 cos\u00EC \u201Cbello\u201D \u2026 \u20AC"_s;
    QCOMPARE(platform::encodeText(italian),
             QByteArray("Perch\xE9 \xE8 cos\xEC \x93" "bello\x94 \x85 \x80"));
    const QString russian = u"\u0420\u0443\u0441\u0441\u043A\u0438\u0439"_s;
    QCOMPARE(platform::encodeText(russian), russian.toUtf8());
    // Its Windows-1252 bytes would be valid UTF-8 for another text.
    const QString lookalike = u"\u00C3\u00A9"_s;
    for (const QString& text : {italian, russian, lookalike, u"plain"_s, QString()})
        QCOMPARE(platform::decodeText(platform::encodeText(text)), text);
}

void SettingsFilesTest::readsEntries_data()
{
    QTest::addColumn<QByteArray>("lineEnding");
    QTest::newRow("CR LF") << QByteArray("\r\n");
    QTest::newRow("LF") << QByteArray("\n");
    QTest::newRow("CR") << QByteArray("\r");
}

void SettingsFilesTest::readsEntries()
{
    QFETCH(QByteArray, lineEnding);
    const QByteArray longText(600, 'x');
    const QList<QByteArray> lines = {
        "plain=before any section",
        "[FormMenu]",
        "Label1.Caption=\"Menu label\"",
        "[Strings]",
        "0001=\"Un'altra copia \xE8 aperta\"",
        "  0002 \t=  \"  spaced inside  \"  ",
        "0003=no quotes",
        "0004=\"only opening",
        "0005=only closing\"",
        "0006=\"\"",
        "0007=\"",
        "0008=\"" + longText + "\"",
        "0009=a=b",
        "0001=second occurrence",
        "; 0010=commented out",
        "[ FormAvvio ]",
        "Label1.Caption=\"Start label\"",
        "[strings]",
        "0011=from a repeated section",
    };
    const QString file = path(u"entries.lng"_s);
    writeAll(file, lines.join(lineEnding) + lineEnding);

    const auto read = [&](const QString& section, const QString& key) {
        return GetPrivateProfileString(section, key, u"<fallback>"_s, file);
    };
    QCOMPARE(read(u"Strings"_s, u"0001"_s), u"Un'altra copia \u00E8 aperta"_s);
    QCOMPARE(read(u"STRINGS"_s, u"0001"_s), u"Un'altra copia \u00E8 aperta"_s);
    QCOMPARE(read(u"Strings"_s, u"0002"_s), u"  spaced inside  "_s);
    QCOMPARE(read(u"Strings"_s, u"0003"_s), u"no quotes"_s);
    QCOMPARE(read(u"Strings"_s, u"0004"_s), u"\"only opening"_s);
    QCOMPARE(read(u"Strings"_s, u"0005"_s), u"only closing\""_s);
    QCOMPARE(read(u"Strings"_s, u"0006"_s), QString());
    QCOMPARE(read(u"Strings"_s, u"0007"_s), u"\""_s);
    QCOMPARE(read(u"Strings"_s, u"0008"_s), QString(platform::kProfileValueMax, u'x'));
    QCOMPARE(read(u"Strings"_s, u"0009"_s), u"a=b"_s);
    QCOMPARE(read(u"Strings"_s, u"0010"_s), u"<fallback>"_s);
    QCOMPARE(read(u"Strings"_s, u"0011"_s), u"from a repeated section"_s);
    QCOMPARE(read(u"FormMenu"_s, u"label1.caption"_s), u"Menu label"_s);
    QCOMPARE(read(u"formavvio"_s, u"Label1.Caption"_s), u"Start label"_s);
    QCOMPARE(read(u"FormMenu"_s, u"0001"_s), u"<fallback>"_s);
    QCOMPARE(read(u"Strings"_s, u"plain"_s), u"<fallback>"_s);

    // The same entries in a UTF-8 file with a byte-order mark.
    const QString utf8File = path(u"entries-utf8.lng"_s);
    writeAll(utf8File, "\xEF\xBB\xBF[Strings]" + lineEnding
                           + u"0001=\"\u0414\u0440\u0443\u0433\u0430\u044F\""_s.toUtf8());
    QCOMPARE(GetPrivateProfileString(u"Strings"_s, u"0001"_s, QString(), utf8File),
             u"\u0414\u0440\u0443\u0433\u0430\u044F"_s);
}

void SettingsFilesTest::missingFileSectionOrKeyGivesFallback()
{
    const QString file = path(u"small.ini"_s);
    writeAll(file, "[Language]\r\nCurrentLanguage=English\r\n");
    QCOMPARE(GetPrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, u"-"_s, file), u"English"_s);
    QCOMPARE(GetPrivateProfileString(u"Language"_s, u"Other"_s, u"-"_s, file), u"-"_s);
    QCOMPARE(GetPrivateProfileString(u"Other"_s, u"CurrentLanguage"_s, u"-"_s, file), u"-"_s);
    QCOMPARE(GetPrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, u"-"_s, path(u"none.ini"_s)),
             u"-"_s);
    QCOMPARE(GetPrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, u"-"_s, folder_.path()),
             u"-"_s);
    QCOMPARE(GetPrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, QString(), path(u"none.ini"_s)),
             QString());
    // A named pipe has no writer: neither reading nor writing may wait for one.
    const QString pipe = path(u"pipe.lng"_s);
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QCOMPARE(GetPrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, u"-"_s, pipe), u"-"_s);
    QVERIFY(!WritePrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, u"x"_s, pipe));
    QVERIFY(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile());
    const QString longFallback(700, u'f');
    QCOMPARE(GetPrivateProfileString(u"Language"_s, u"Other"_s, longFallback, file).size(),
             platform::kProfileValueMax);
}

void SettingsFilesTest::junkAndHugeFilesAreSurvived()
{
    QRandomGenerator random(7);
    QByteArray junk(256 * 1024, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32*>(junk.data()), junk.size() / 4);
    junk.replace('[', ' ');
    junk.replace('=', ' ');
    const QString junkFile = path(u"junk.lng"_s);
    writeAll(junkFile, junk);
    QCOMPARE(GetPrivateProfileString(u"Strings"_s, u"0001"_s, u"-"_s, junkFile), u"-"_s);
    // Junk around the entries leaves them readable.
    writeAll(junkFile, junk + "\n[Strings]\n0001=\"found\"\n" + junk);
    QCOMPARE(GetPrivateProfileString(u"Strings"_s, u"0001"_s, u"-"_s, junkFile), u"found"_s);

    // One line of 96 MiB, a quoted value, then another entry: the reader
    // neither holds the line in memory nor loses track of where it ends.
    const QString hugeFile = path(u"huge.lng"_s);
    {
        QFile file(hugeFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Strings]\n0001=\"");
        const QByteArray block(1024 * 1024, 'y');
        for (int i = 0; i < 96; ++i)
            file.write(block);
        file.write("\"   \n0002=after\n");
    }
    const long memoryBefore = peakMemoryKiB();
    QCOMPARE(GetPrivateProfileString(u"Strings"_s, u"0001"_s, u"-"_s, hugeFile),
             QString(platform::kProfileValueMax, u'y'));
    QCOMPARE(GetPrivateProfileString(u"Strings"_s, u"0002"_s, u"-"_s, hugeFile), u"after"_s);
    QVERIFY2(peakMemoryKiB() - memoryBefore < 32 * 1024, "reading grew the memory by 32 MiB or more");
    // The writer refuses to rewrite such a file and leaves it as it was.
    const qint64 hugeSize = QFileInfo(hugeFile).size();
    QVERIFY(!WritePrivateProfileString(u"Strings"_s, u"0003"_s, u"x"_s, hugeFile));
    QCOMPARE(QFileInfo(hugeFile).size(), hugeSize);
    QFile::remove(hugeFile);
}

void SettingsFilesTest::writerKeepsEveryOtherLine_data()
{
    QTest::addColumn<QByteArray>("lineEnding");
    QTest::newRow("CR LF") << QByteArray("\r\n");
    QTest::newRow("LF") << QByteArray("\n");
}

void SettingsFilesTest::writerKeepsEveryOtherLine()
{
    QFETCH(QByteArray, lineEnding);
    const auto join = [&](const QList<QByteArray>& lines) { return lines.join(lineEnding); };
    const QList<QByteArray> original = {
        "; remembered choices \xE8",
        "[Language]",
        "  currentlanguage = \"Italiano\"  ",
        "Other=kept",
        "",
        "[Window]",
        "Size = 3 ",
        "",
    };
    const QString file = path(u"keep.ini"_s);
    writeAll(file, join(original));

    // Replacing a value (the key matched without regard to case) changes that
    // line only and keeps its line ending.
    QVERIFY(WritePrivateProfileString(u"LANGUAGE"_s, u"CurrentLanguage"_s, u"English"_s, file));
    QList<QByteArray> expected = original;
    expected[2] = "CurrentLanguage=English";
    QCOMPARE(readAll(file), join(expected));

    // A new key goes after the section's last entry, before its blank line.
    QVERIFY(WritePrivateProfileString(u"Language"_s, u"Added"_s, u"new"_s, file));
    expected.insert(4, "Added=new");
    QCOMPARE(readAll(file), join(expected));

    // A new section goes at the end of the file.
    QVERIFY(WritePrivateProfileString(u"Sounds"_s, u"On"_s, u"1"_s, file));
    expected.removeLast();
    expected << "[Sounds]" << "On=1" << "";
    QCOMPARE(readAll(file), join(expected));

    // A last line without a line ending gets one before anything is added.
    writeAll(file, "[Language]" + lineEnding + "Other=kept");
    QVERIFY(WritePrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, u"English"_s, file));
    QCOMPARE(readAll(file), join({"[Language]", "Other=kept", "CurrentLanguage=English", ""}));
    writeAll(file, "Other=kept");
    QVERIFY(WritePrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, u"English"_s, file));
    QCOMPARE(readAll(file), "Other=kept\r\n[Language]\r\nCurrentLanguage=English\r\n");
}

void SettingsFilesTest::writerCreatesFileAndKeepsEncoding()
{
    const QString file = path(u"LangSetting.ini"_s);
    QFile::remove(file);
    QVERIFY(WritePrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, u"Fran\u00E7ais"_s, file));
    QCOMPARE(readAll(file), QByteArray("[Language]\r\nCurrentLanguage=Fran\xE7" "ais\r\n"));

    // A name Windows-1252 cannot hold turns the file to UTF-8; the other
    // lines keep their text.
    const QString russian = u"\u0420\u0443\u0441\u0441\u043A\u0438\u0439"_s;
    writeAll(file, "; caff\xE8\r\n[Language]\r\nCurrentLanguage=Fran\xE7" "ais\r\n");
    QVERIFY(WritePrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, russian, file));
    QCOMPARE(readAll(file), u"; caff\u00E8\r\n[Language]\r\nCurrentLanguage="_s.toUtf8()
                                + russian.toUtf8() + "\r\n");
    QCOMPARE(GetPrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, QString(), file), russian);

    // A UTF-8 file stays UTF-8, byte-order mark included.
    QVERIFY(WritePrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, u"Fran\u00E7ais"_s, file));
    QCOMPARE(readAll(file), u"; caff\u00E8\r\n[Language]\r\nCurrentLanguage=Fran\u00E7ais\r\n"_s.toUtf8());
    writeAll(file, "\xEF\xBB\xBF[Language]\nCurrentLanguage=x\n");
    QVERIFY(WritePrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, u"Espa\u00F1ol"_s, file));
    QCOMPARE(readAll(file), "\xEF\xBB\xBF" + u"[Language]\nCurrentLanguage=Espa\u00F1ol\n"_s.toUtf8());
}

void SettingsFilesTest::writtenValuesReadBackTheSame()
{
    const QString file = path(u"roundtrip.ini"_s);
    const QStringList values = {
        u"English"_s, u"  blanks around  "_s, u"\"quoted\""_s, u"\""_s, QString(),
        u"a=b"_s, u"\u00C3\u00A9"_s, u"\u65E5\u672C\u8A9E"_s, u"\U0001F600 emoji"_s,
    };
    for (const QString& value : values) {
        QVERIFY(WritePrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, value, file));
        QCOMPARE(GetPrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, u"-"_s, file), value);
    }
    // Line breaks would add lines of their own: refused, the file unchanged.
    const QByteArray before = readAll(file);
    QVERIFY(!WritePrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, u"a\n[Evil]"_s, file));
    QVERIFY(!WritePrivateProfileString(u"Lang\ruage"_s, u"Key"_s, u"v"_s, file));
    QVERIFY(!WritePrivateProfileString(u"Language"_s, u"Ke=y"_s, u"v"_s, file));
    QVERIFY(!WritePrivateProfileString(u"Language"_s, QString(), u"v"_s, file));
    QCOMPARE(readAll(file), before);
}

void SettingsFilesTest::failedWriteLeavesOldFileWhole()
{
    const QString regular = path(u"regular.txt"_s);
    writeAll(regular, "not a folder");
    QVERIFY(!WritePrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, u"x"_s,
                                       regular + u"/LangSetting.ini"_s));
    QCOMPARE(readAll(regular), QByteArray("not a folder"));
    // An existing file in a folder where no file can be made, even by root.
    const QByteArray status = readAll(u"/proc/self/status"_s);
    QVERIFY(!status.isEmpty());
    QVERIFY(!WritePrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, u"x"_s,
                                       u"/proc/self/status"_s));
    QVERIFY(!WritePrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, u"x"_s,
                                       u"/proc/LangSetting.ini"_s));

    // A full disk: no byte may be written.
    const QString settings = path(u"full-disk.ini"_s);
    const QByteArray before("[Language]\r\nCurrentLanguage=English\r\n");
    writeAll(settings, before);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit noRoom{0, limit.rlim_max};
    setrlimit(RLIMIT_FSIZE, &noRoom);
    const bool writtenOnFullDisk =
        WritePrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, u"Italiano"_s, settings);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldSignal);
    QVERIFY(!writtenOnFullDisk);
    QCOMPARE(readAll(settings), before);
    QCOMPARE(QDir(folder_.path()).entryList({u"full-disk.ini*"_s}, QDir::Files).size(), 1);

    if (::geteuid() == 0)
        QSKIP("root writes in read-only folders; the folders above cover the failure");
    const QString readOnlyFolder = path(u"readonly"_s);
    QVERIFY(QDir().mkpath(readOnlyFolder));
    const QString file = readOnlyFolder + u"/LangSetting.ini"_s;
    writeAll(file, "[Language]\r\nCurrentLanguage=English\r\n");
    QVERIFY(QFile::setPermissions(readOnlyFolder, QFile::ReadOwner | QFile::ExeOwner));
    const bool written = WritePrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, u"x"_s, file);
    QFile::setPermissions(readOnlyFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!written);
    QCOMPARE(readAll(file), QByteArray("[Language]\r\nCurrentLanguage=English\r\n"));
}

QTEST_GUILESS_MAIN(SettingsFilesTest)
#include "tst_settings_files.moc"
