// What an exercise screen shows and says of its rule beyond the letters: the
// drawing of the change or changes under them, the change in words for a
// screen reader (Label4's name, an announcement at every drawn change), the
// instruction as the window's description, and the voice's praise and help
// after the answer's sound. Read through Qt's accessibility interfaces and
// the speech observer, in a language of our own whose words name their keys.

#include "Accessibility.h"
#include "DataFiles.h"
#include "ExerciseCatalogue.h"
#include "FormEsercizio.h"
#include "MessageBox.h"
#include "Random.h"
#include "Resources.h"
#include "Settings.h"
#include "SharedState.h"
#include "Speech.h"
#include "Widgets.h"
#include "modLanguageSupport.h"

#include <QAccessible>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <array>
#include <map>
#include <set>

using namespace Qt::Literals::StringLiterals;

namespace {

// The letters name the changes; the words and sentences name their keys.
QByteArray languageFile() {
    using modLanguageSupport::MLSOurFileKey;
    using modLanguageSupport::OurWords;
    QString text = u"[Speech]\r\n"_s;
    for (const QString& key : exercise_catalogue::spokenKeys())
        text += MLSOurFileKey(OurWords::Speech, key) % u"=\"say "_s % key % u"\"\r\n"_s;
    text +=
        u"[Strings]\r\n0005=\"CO\"\r\n0006=\"DI\"\r\n0007=\"FO\"\r\n0008=\"NI\"\r\n0014=\"C1\"\r\n"
        "0015=\"D1\"\r\n0016=\"F1\"\r\n0017=\"c2\"\r\n0018=\"d2\"\r\n0019=\"f2\"\r\n[Accessibility]\r\n"_s;
    const std::pair<const char*, const char*> words[] = {{"ChangeIs", "change is %1"}, {"WordColour", "w-colour"},
                                                         {"WordSize", "w-size"},       {"WordShape", "w-shape"},
                                                         {"WordNothing", "w-nothing"}, {"HearAgain", "hear again"}};
    for (const auto& [key, word] : words)
        text += MLSOurFileKey(OurWords::Accessibility, QString::fromLatin1(key)) % u"=\""_s %
                QString::fromLatin1(word) % u"\"\r\n"_s;
    return text.toUtf8();
}

// A change as the letters name it: its drawing, its word and its part of the instruction's key.
struct Change {
    const char* drawing;
    QString word;
    QString key;
};
const Change kColour{resources::kRuleColour, u"w-colour"_s, u"Colour"_s};
const Change kSize{resources::kRuleSize, u"w-size"_s, u"Size"_s};
const Change kShape{resources::kRuleShape, u"w-shape"_s, u"Shape"_s};
const Change kNothing{resources::kRuleNone, u"w-nothing"_s, u"Same"_s};
const std::map<QString, Change> kNamedChange{
    {u"CO"_s, kColour}, {u"DI"_s, kSize},  {u"FO"_s, kShape},  {u"NI"_s, kNothing}, {u"C1"_s, kColour},
    {u"D1"_s, kSize},   {u"F1"_s, kShape}, {u"c2"_s, kColour}, {u"d2"_s, kSize},    {u"f2"_s, kShape},
};

// What a screen should show: its drawings, the words of its changes, its instruction's key.
struct Expected {
    QStringList drawings;
    QString words;
    QString key;
};

// A silent 16-bit mono PCM WAV file lasting `milliseconds` at 8000 Hz.
QByteArray silentWav(int milliseconds) {
    constexpr quint32 kBytesPerSecond = 16000;
    const quint32 dataBytes = kBytesPerSecond * quint32(milliseconds) / 1000;
    QByteArray wav;
    const auto number = [&wav](auto value) {
        std::array<char, sizeof(value)> bytes{};
        qToLittleEndian(value, bytes.data());
        wav.append(bytes.data(), qsizetype(bytes.size()));
    };
    wav += "RIFF";
    number(quint32(36 + dataBytes));
    wav += "WAVEfmt ";
    number(quint32(16));
    number(quint16(1));  // PCM
    number(quint16(1));  // mono
    number(quint32(8000));
    number(kBytesPerSecond);
    number(quint16(2));
    number(quint16(16));
    wav += "data";
    number(dataBytes);
    wav += QByteArray(qsizetype(dataBytes), '\0');
    return wav;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QString accessibleText(QWidget* widget, QAccessible::Text text) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(text) : u"(no interface)"_s;
}

constexpr int kSoundMilliseconds = 700;

}  // namespace

class RuleShownTest : public QObject {
    Q_OBJECT

    std::array<std::unique_ptr<FormEsercizio>, 7> screens;
    QTemporaryDir folder;
    QStringList said;
    QList<qint64> saidAt;  // milliseconds after `clock` started
    QElapsedTimer clock;

    static QString caption(const FormEsercizio& screen, const QString& name) {
        return screen.control(name).text(platform::TextProperty::Caption).value_or(QString());
    }

    // What the screen's letters (or, for a fixed rule, its number) ask.
    static Expected expected(int number, const FormEsercizio& screen) {
        const std::map<int, Expected> fixed{
            {1, {{QString::fromLatin1(resources::kRuleColour)}, u"w-colour"_s, u"Colour"_s}},
            {2, {{QString::fromLatin1(resources::kRuleShape)}, u"w-shape"_s, u"Shape"_s}},
            {3, {{QString::fromLatin1(resources::kRuleNone)}, u"w-nothing"_s, u"Same"_s}},
            {4, {{QString::fromLatin1(resources::kRuleSize)}, u"w-size"_s, u"Size"_s}},
            {7, {{QString::fromLatin1(resources::kRuleAll)}, u"w-colour, w-size, w-shape"_s, u"Everything"_s}},
        };
        if (const auto row = fixed.find(number); row != fixed.end())
            return row->second;
        Expected drawn;
        QStringList words;
        for (const QString& letters : caption(screen, u"Label4"_s).split(u' ')) {
            const auto change = kNamedChange.find(letters);
            if (change == kNamedChange.end())
                return {};
            drawn.drawings.append(QString::fromLatin1(change->second.drawing));
            words.append(change->second.word);
            drawn.key += change->second.key;
        }
        drawn.words = words.join(u", "_s);
        return drawn;
    }

    static QWidget* announcement(const FormEsercizio& screen) {
        return screen.window()->findChild<QWidget*>(QString::fromLatin1(platform::kAnnouncementName));
    }

    void answer(FormEsercizio& screen, int index) {
        said.clear();
        saidAt.clear();
        clock.restart();
        screen.control(u"Picture1"_s, index).click();
    }
    int wrongIndex(const FormEsercizio& screen) const { return (*screen.puzzle().rightIndex() + 1) % 8; }
    void nextPuzzle(FormEsercizio& screen) {
        screen.control(u"BottoneAvanti"_s).setEnabled(true);
        screen.control(u"BottoneAvanti"_s).click();
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(folder.isValid());
        QVERIFY(writeFile(folder.path() % u"/Prova.lng"_s, languageFile()));
        QVERIFY(QDir(folder.path()).mkpath(u"suoni"_s));
        for (const QString& sound : {u"si1"_s, u"si2"_s, u"si3"_s, u"si4"_s, u"no"_s})
            QVERIFY(writeFile(folder.path() % u"/suoni/"_s % sound % u".wav"_s, silentWav(kSoundMilliseconds)));
        platform::setExecutableFolder(folder.path());
        modLanguageSupport::MLSCurrentLanguage = u"Prova"_s;
        platform::setMessageBoxResponder([](const platform::MessageBoxRequest&) { return platform::MsgAnswer::Yes; });
        app::shell().showMenu = [] {};
        platform::setSpeechObserver([this](const QString& text, const QString&) {
            said.append(text);
            saidAt.append(clock.elapsed());
        });
        for (int number = 1; number <= 7; ++number)
            screens[std::size_t(number - 1)] = std::make_unique<FormEsercizio>(exercise_catalogue::exercise(number));
        platform::seedRandom(1);
    }

    void cleanupTestCase() {
        for (platform::Screen* screen : platform::Screen::loadedScreens())
            screen->Unload();
        platform::setSpeechObserver({});
        platform::setMessageBoxResponder({});
        platform::setExecutableFolder({});
        app::shell() = {};
    }

    void everyChangeIsDrawnDescribedAndAnnounced() {
        Modulo1::SuoniAttivati = false;
        for (int number = 1; number <= 7; ++number) {
            FormEsercizio& screen = *screens[std::size_t(number - 1)];
            screen.Show();
            const bool drawsChanges = number == 5 || number == 6;
            const std::size_t wanted = number == 5 ? 4 : number == 6 ? 9 : 1;
            std::set<QString> seen;
            for (int puzzle = 0; puzzle < 300 && seen.size() < wanted; ++puzzle) {
                const Expected asked = expected(number, screen);
                QVERIFY2(!asked.key.isEmpty(), qPrintable(caption(screen, u"Label4"_s)));
                seen.insert(asked.key);
                const auto* drawing = dynamic_cast<platform::ImageView*>(screen.control(u"RuleDrawing"_s).widget());
                QVERIFY(drawing);
                QCOMPARE(drawing->resources(), asked.drawings);
                const QString change = u"change is "_s + asked.words;
                QCOMPARE(accessibleText(screen.control(u"Label4"_s).widget(), QAccessible::Name), change);
                QCOMPARE(accessibleText(screen.window(), QAccessible::Description), u"say "_s + asked.key);
                // The change is announced on opening and at every new puzzle, after the last answer's news.
                QWidget* news = announcement(screen);
                if (drawsChanges) {
                    QVERIFY(news && news->isVisible());
                    QCOMPARE(accessibleText(news, QAccessible::Name), change);
                    QCOMPARE(QAccessible::queryAccessibleInterface(news)->role(), QAccessible::Notification);
                } else {
                    QVERIFY(!news || accessibleText(news, QAccessible::Name) != change);
                }
                screen.control(u"Picture1"_s, *screen.puzzle().rightIndex()).click();
                nextPuzzle(screen);
            }
            QCOMPARE(seen.size(), wanted);
            QCOMPARE(accessibleText(screen.control(u"HearAgain"_s).widget(), QAccessible::Name), u"hear again"_s);
            screen.Unload();
        }
    }

    void praiseAndHelpFollowTheSound() {
        Modulo1::SuoniAttivati = true;
        FormEsercizio& screen = *screens[0];
        screen.Show();
        // Praise after a right answer's sound, a different one each time.
        QString lastPraise;
        for (int puzzle = 0; puzzle < 2; ++puzzle) {
            answer(screen, *screen.puzzle().rightIndex());
            QTRY_COMPARE_WITH_TIMEOUT(said.size(), 1, 5000);
            QVERIFY2(said.front().startsWith(u"say Praise"_s), qPrintable(said.front()));
            QVERIFY(said.front() != lastPraise);
            QVERIFY2(saidAt.front() >= kSoundMilliseconds * 9 / 10, qPrintable(QString::number(saidAt.front())));
            lastPraise = said.front();
            nextPuzzle(screen);
        }
        // The instruction again after the second wrong answer of a puzzle, not after the first.
        answer(screen, wrongIndex(screen));
        QTest::qWait(kSoundMilliseconds * 2);
        QVERIFY(said.isEmpty());
        answer(screen, wrongIndex(screen));
        QTRY_COMPARE_WITH_TIMEOUT(said, QStringList{u"say Colour"_s}, 5000);
        QVERIFY(saidAt.front() >= kSoundMilliseconds * 9 / 10);
        // A new puzzle before the sound ends, or leaving, cancels the praise.
        answer(screen, *screen.puzzle().rightIndex());
        nextPuzzle(screen);
        answer(screen, *screen.puzzle().rightIndex());
        screen.control(u"mnuEsci"_s).click();
        QVERIFY(!screen.isLoaded());
        QTest::qWait(kSoundMilliseconds * 2);
        QVERIFY2(said.isEmpty(), qPrintable(said.join(u"|")));
        // With the sounds off, nothing.
        Modulo1::SuoniAttivati = false;
        screen.Show();
        for (int wrong = 0; wrong < 2; ++wrong)
            answer(screen, wrongIndex(screen));
        answer(screen, *screen.puzzle().rightIndex());
        QTest::qWait(kSoundMilliseconds * 2);
        QVERIFY(said.isEmpty());
        screen.Unload();
        // With the praise off (a parent's setting), no praise; the help still comes.
        Modulo1::SuoniAttivati = true;
        settings::current().praise = false;
        screen.Show();
        QTest::qWait(kSoundMilliseconds);
        said.clear();
        answer(screen, *screen.puzzle().rightIndex());
        QTest::qWait(kSoundMilliseconds * 2);
        QVERIFY2(said.isEmpty(), qPrintable(said.join(u"|")));
        nextPuzzle(screen);
        said.clear();
        for (int wrong = 0; wrong < 2; ++wrong)
            answer(screen, wrongIndex(screen));
        QTRY_COMPARE_WITH_TIMEOUT(said.size(), 1, 5000);
        QVERIFY(!said.front().startsWith(u"say Praise"_s));
        settings::current().praise = true;
        screen.Unload();
    }
};

QTEST_MAIN(RuleShownTest)
#include "tst_rule_shown.moc"
