// The 8-bit text of language and settings files, and the profile reader and
// writer, against hand-made files.

#include "FileBytes.h"
#include "Profile.h"
#include "Text8Bit.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;
using files::GetPrivateProfileString;
using files::TextEncoding;
using files::WritePrivateProfileString;

namespace {

const QString kRussian = u"\u0420\u0443\u0441\u0441\u043A\u0438\u0439"_s;

QString readLanguage(const QString& file, const QString& fallback = u"-"_s) {
    return GetPrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, fallback, file);
}

bool writeLanguage(const QString& file, const QString& value) {
    return WritePrivateProfileString(u"Language"_s, u"CurrentLanguage"_s, value, file);
}

}  // namespace

class SettingsFilesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void windows1252AndUtf8Text() {
        QByteArray everyByte;
        for (int code = 0; code < 256; ++code)
            everyByte.append(static_cast<char>(code));
        const QString text = files::decodeTextAs(everyByte, TextEncoding::Windows1252);
        QCOMPARE(files::encodeTextAs(text, TextEncoding::Windows1252), everyByte);
        // ICU's table, where this Qt has it, is an independent reference.
        if (QStringDecoder reference("windows-1252"); reference.isValid())
            QCOMPARE(text, QString(reference.decode(everyByte)));
        QVERIFY(!files::encodeTextAs(u"\u0080"_s, TextEncoding::Windows1252));

        // UTF-8 only when valid and not plain ASCII; a sequence cut off by the
        // end, an overlong form or an encoded surrogate is not valid.
        const QByteArray utf8 = u"caff\u00E8 \u20AC"_s.toUtf8();
        const QByteArray withBom = "\xEF\xBB\xBF" + utf8;
        QCOMPARE(files::detectTextEncoding(utf8), TextEncoding::Utf8);
        // A marked file with a broken sequence loses that sequence alone.
        const QByteArray broken = withBom + "\xE8 \xCE\xB1";
        for (const QByteArray& marked : {withBom, QByteArray("\xEF\xBB\xBFplain"), broken})
            QCOMPARE(files::detectTextEncoding(marked), TextEncoding::Utf8WithBom);
        QCOMPARE(files::decodeTextAs(broken, TextEncoding::Utf8WithBom), u"\uFEFFcaff\u00E8 \u20AC\uFFFD \u03B1"_s);
        for (const QByteArray& notUtf8 : {QByteArray("ascii"), QByteArray("caff\xE8"), QByteArray(utf8 + "\xE8"),
                                          utf8.chopped(1), QByteArray("\xC0\xAF"), QByteArray("\xED\xA0\x80")})
            QCOMPARE(files::detectTextEncoding(notUtf8), TextEncoding::Windows1252);
    }

    void readsEntries_data() {
        QTest::addColumn<QByteArray>("lineEnding");
        QTest::newRow("CR LF") << QByteArray("\r\n");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("CR") << QByteArray("\r");
    }

    void readsEntries() {
        QFETCH(QByteArray, lineEnding);
        const QList<QByteArray> lines = {
            "plain=before any section",
            "[FormMenu]",
            "Label1.Caption=\"Menu label\"",
            "[Strings]",
            "0001=\"Un'altra copia \xE8 aperta\"",
            "  0002 \t=  \"  spaced inside  \"  ",
            "0003=no quotes",
            "0004=\"only opening",
            "0006=\"\"",
            "0007=\"",
            "0008=\"" + QByteArray(600, 'x') + "\"",
            "0009='single quoted'",
            "0001=second occurrence",
            "; 0010=commented out",
            "[ FormAvvio ]",
            "Label1.Caption=\"Start label\"",
            "[strings]",
            "0011=from a repeated section",
        };
        const QString file = path(u"entries.lng"_s);
        QVERIFY(file_bytes::write(file, lines.join(lineEnding) + lineEnding));
        const auto read = [&](const QString& section, const QString& key) {
            return GetPrivateProfileString(section, key, u"<fallback>"_s, file);
        };
        QCOMPARE(read(u"STRINGS"_s, u"0001"_s), u"Un'altra copia \u00E8 aperta"_s);
        QCOMPARE(read(u"Strings"_s, u"0002"_s), u"  spaced inside  "_s);
        QCOMPARE(read(u"Strings"_s, u"0003"_s), u"no quotes"_s);
        QCOMPARE(read(u"Strings"_s, u"0004"_s), u"\"only opening"_s);
        QCOMPARE(read(u"Strings"_s, u"0006"_s), QString());
        QCOMPARE(read(u"Strings"_s, u"0007"_s), u"\""_s);
        QCOMPARE(read(u"Strings"_s, u"0008"_s), QString(files::kProfileValueMax, u'x'));
        QCOMPARE(read(u"Strings"_s, u"0009"_s), u"single quoted"_s);
        QCOMPARE(read(u"FormMenu"_s, u"label1.caption"_s), u"Menu label"_s);
        QCOMPARE(read(u"formavvio"_s, u"Label1.Caption"_s), u"Start label"_s);
        for (const auto& [section, key] : {std::pair(u"Strings"_s, u"0010"_s), std::pair(u"FormMenu"_s, u"0001"_s),
                                           std::pair(u"Strings"_s, u"plain"_s), std::pair(u"None"_s, u"0001"_s),
                                           std::pair(u"Strings"_s, u"0011"_s)})  // only a section's first copy counts
            QCOMPARE(read(section, key), u"<fallback>"_s);

        // In UTF-8 and UTF-16 with a mark: non-ASCII names match without regard to case, a
        // cut never splits a surrogate pair, and only the file's first U+FEFF is its mark.
        const QString text = u"\uFEFF[Strings]"_s + QString::fromLatin1(lineEnding) + u"Cl\u00C9=\"\u0414\u0430\""_s +
                             QString::fromLatin1(lineEnding) + u"\uFEFFmark=\uFEFF"_s +
                             QString::fromLatin1(lineEnding) + u"0002="_s + QString(510, u'z') + u"\U0001F600"_s;
        for (const QByteArray& bytes : {text.toUtf8(), files::encodeUtf16(text.sliced(1), QStringConverter::Utf16LE),
                                        files::encodeUtf16(text.sliced(1), QStringConverter::Utf16BE)}) {
            QVERIFY(file_bytes::write(file, bytes));
            QCOMPARE(read(u"strings"_s, u"cl\u00E9"_s), u"\u0414\u0430"_s);
            QCOMPARE(read(u"Strings"_s, u"0002"_s), QString(510, u'z'));
            QCOMPARE(read(u"Strings"_s, u"\uFEFFmark"_s), u"\uFEFF"_s);
        }
    }

    void badFilesGiveFallback() {
        QCOMPARE(readLanguage(path(u"none.ini"_s)), u"-"_s);
        QCOMPARE(readLanguage(path(u"none.ini"_s), QString(700, u'f')).size(), files::kProfileValueMax);
        // A named pipe has no writer: neither reading nor writing may wait for one.
        const QString pipe = path(u"pipe.lng"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QCOMPARE(readLanguage(pipe), u"-"_s);
        QVERIFY(!writeLanguage(pipe, u"x"_s));
        QVERIFY(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile());

        // Junk alone, then around entries that lie in a later piece of the file.
        QRandomGenerator random(7);
        QByteArray junk(256 * 1024, Qt::Uninitialized);
        random.fillRange(reinterpret_cast<quint32*>(junk.data()), junk.size() / 4);
        junk.replace('[', ' ').replace('=', ' ');
        const QString junkFile = path(u"junk.lng"_s);
        QVERIFY(file_bytes::write(junkFile, junk));
        QCOMPARE(readLanguage(junkFile), u"-"_s);
        QVERIFY(file_bytes::write(junkFile, junk + "\n[Language]\nCurrentLanguage=\"found\"\n" + junk));
        QCOMPARE(readLanguage(junkFile), u"found"_s);
        // A large UTF-8 file whose first piece is ASCII.
        QVERIFY(file_bytes::write(junkFile,
                                  QByteArray(100 * 1024, ';') + "\n[Language]\nCurrentLanguage=" + kRussian.toUtf8()));
        QCOMPARE(readLanguage(junkFile), kRussian);

        // A line of 96 MiB, its closing quote after more than a piece of blanks,
        // is neither held in memory nor loses track of its end.
        QFile huge(path(u"huge.lng"_s));
        QVERIFY(huge.open(QIODevice::WriteOnly));
        huge.write("[Strings]\n0001=\"");
        for (int i = 0; i < 96; ++i)
            huge.write(QByteArray(1024 * 1024, 'y'));
        huge.write("\"" + QByteArray(128 * 1024, ' ') + "\n0002=after\n");
        huge.close();
        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        QCOMPARE(GetPrivateProfileString(u"Strings"_s, u"0001"_s, u"-"_s, huge.fileName()),
                 QString(files::kProfileValueMax, u'y'));
        QCOMPARE(GetPrivateProfileString(u"Strings"_s, u"0002"_s, u"-"_s, huge.fileName()), u"after"_s);
        getrusage(RUSAGE_SELF, &after);
        QVERIFY2(after.ru_maxrss - before.ru_maxrss < 32 * 1024, "reading grew the memory by 32 MiB or more");
        // The writer refuses to rewrite such a file and leaves it as it was.
        const qint64 hugeSize = huge.size();
        QVERIFY(!WritePrivateProfileString(u"Strings"_s, u"0003"_s, u"x"_s, huge.fileName()));
        QCOMPARE(QFileInfo(huge.fileName()).size(), hugeSize);
        huge.remove();
    }

    void writerKeepsEveryOtherLine_data() { readsEntries_data(); }

    void writerKeepsEveryOtherLine() {
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
            "[language]",
            "Late=1",
            "",
        };
        const QString file = path(u"keep.ini"_s);
        QVERIFY(file_bytes::write(file, join(original)));

        QVERIFY(WritePrivateProfileString(u"LANGUAGE"_s, u"CurrentLanguage"_s, u"English"_s, file));
        QList<QByteArray> expected = original;
        expected[2] = "CurrentLanguage=English";
        QCOMPARE(file_bytes::read(file), join(expected));
        // A new key goes after the last entry of the first section of that name.
        QVERIFY(WritePrivateProfileString(u"Language"_s, u"Added"_s, u"new"_s, file));
        expected.insert(4, "Added=new");
        QCOMPARE(file_bytes::read(file), join(expected));
        QVERIFY(WritePrivateProfileString(u"Sounds"_s, u"On"_s, u"1"_s, file));
        expected.removeLast();
        expected.append({"[Sounds]", "On=1", ""});
        QCOMPARE(file_bytes::read(file), join(expected));

        QVERIFY(file_bytes::write(file, "[Language]" + lineEnding + "Other=kept"));
        QVERIFY(writeLanguage(file, u"English"_s));
        QCOMPARE(file_bytes::read(file), join({"[Language]", "Other=kept", "CurrentLanguage=English", ""}));
        QVERIFY(file_bytes::write(file, "Other=kept"));
        QVERIFY(writeLanguage(file, u"English"_s));
        QCOMPARE(file_bytes::read(file), "Other=kept\r\n[Language]\r\nCurrentLanguage=English\r\n");
    }

    void writerKeepsEncodingAndValues() {
        const QString file = path(u"LangSetting.ini"_s);
        QVERIFY(writeLanguage(file, u"Fran\u00E7ais"_s));
        QCOMPARE(file_bytes::read(file), u"[Language]\r\nCurrentLanguage=Fran\u00E7ais\r\n"_s.toLatin1());
        // A name Windows-1252 cannot hold turns the file to UTF-8, other lines keeping their text.
        QVERIFY(
            file_bytes::write(file, u"; caff\u00E8\r\n[Language]\r\nCurrentLanguage=Fran\u00E7ais\r\n"_s.toLatin1()));
        QVERIFY(writeLanguage(file, kRussian));
        QCOMPARE(file_bytes::read(file),
                 u"; caff\u00E8\r\n[Language]\r\nCurrentLanguage="_s.toUtf8() + kRussian.toUtf8() + "\r\n");
        // A UTF-8 file stays UTF-8, byte-order mark included.
        QVERIFY(writeLanguage(file, u"Fran\u00E7ais"_s));
        QCOMPARE(file_bytes::read(file), u"; caff\u00E8\r\n[Language]\r\nCurrentLanguage=Fran\u00E7ais\r\n"_s.toUtf8());
        QVERIFY(file_bytes::write(file, "\xEF\xBB\xBF[Language]\nCurrentLanguage=x\n"));
        QVERIFY(writeLanguage(file, u"Espa\u00F1ol"_s));
        QCOMPARE(file_bytes::read(file), "\xEF\xBB\xBF" + u"[Language]\nCurrentLanguage=Espa\u00F1ol\n"_s.toUtf8());
        // UTF-16 stays UTF-16 with its mark, in its byte order.
        for (const auto byteOrder : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
            QVERIFY(file_bytes::write(file, files::encodeUtf16(u"[Language]\r\nCurrentLanguage=x\r\n"_s, byteOrder)));
            QVERIFY(writeLanguage(file, kRussian));
            QCOMPARE(file_bytes::read(file),
                     files::encodeUtf16(u"[Language]\r\nCurrentLanguage="_s + kRussian + u"\r\n", byteOrder));
        }

        // Values the reader would change are quoted, and every value reads back.
        const QString roundTrip = path(u"roundtrip.ini"_s);
        for (const QString& value : {u"  blanks around  "_s, u"\"quoted\""_s, u"'quoted'"_s, u"\""_s, QString(),
                                     u"a=b"_s, u"\u00C3\u00A9"_s, u"\U0001F600 emoji"_s}) {
            QVERIFY(writeLanguage(roundTrip, value));
            QCOMPARE(readLanguage(roundTrip), value);
        }
    }

    void failedWriteLeavesOldFileWhole() {
        // Line breaks would add lines of their own, and a key can hold no "=".
        const QString settings = path(u"refusing.ini"_s);
        const QByteArray before("[Language]\r\nCurrentLanguage=English\r\n");
        QVERIFY(file_bytes::write(settings, before));
        QVERIFY(!writeLanguage(settings, u"a\n[Evil]"_s));
        QVERIFY(!WritePrivateProfileString(u"Lang\ruage"_s, u"Key"_s, u"v"_s, settings));
        QVERIFY(!WritePrivateProfileString(u"Language"_s, u"Ke=y"_s, u"v"_s, settings));
        QVERIFY(!WritePrivateProfileString(u"Language"_s, QString(), u"v"_s, settings));
        QCOMPARE(file_bytes::read(settings), before);

        // A folder where no file can be made, even by root.
        QVERIFY(!file_bytes::read(u"/proc/self/status"_s).isEmpty());
        QVERIFY(!writeLanguage(u"/proc/self/status"_s, u"x"_s));

        // A full disk: no byte may be written, and no temporary file stays.
        const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit noRoom{0, limit.rlim_max};
        setrlimit(RLIMIT_FSIZE, &noRoom);
        const bool writtenOnFullDisk = writeLanguage(settings, u"Italiano"_s);
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, oldSignal);
        QVERIFY(!writtenOnFullDisk);
        QCOMPARE(file_bytes::read(settings), before);
        QCOMPARE(QDir(folder_.path()).entryList({u"refusing.ini*"_s}, QDir::Files).size(), 1);
    }

private:
    QTemporaryDir folder_;
    QString path(const QString& name) const { return folder_.filePath(name); }
};

QTEST_GUILESS_MAIN(SettingsFilesTest)
#include "tst_settings_files.moc"
