// The seven exercise screens played by clicks, with a seeded generator,
// scripted message boxes and a program folder of our own, in a language of
// our own whose words name their keys. Beyond judging, what a screen shows
// and says of its rule: the drawing of the change or changes on the puzzle's
// own pictures under the letters, the change in words for a screen reader (Label4's name, an
// announcement at every drawn change), the instruction as the window's
// description, and the voice's praise and help after the answer's sound.

#include "Accessibility.h"
#include "DataFiles.h"
#include "ExerciseCatalogue.h"
#include "ExerciseLayout.h"
#include "ExerciseScreen.h"
#include "FileBytes.h"
#include "MessageBox.h"
#include "ModuloColoriSuoni.h"
#include "PictureFiles.h"
#include "PictureSets.h"
#include "Random.h"
#include "Settings.h"
#include "SharedState.h"
#include "Sound.h"
#include "Speech.h"
#include "SwitchScan.h"
#include "Widgets.h"
#include "modLanguageSupport.h"

#include <QAccessible>
#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <map>
#include <set>

using namespace Qt::Literals::StringLiterals;
namespace ex = exercises::exercise_layout;
using forms::Control;
using resources::picture_sets::kSetCount;
using rules::kPicturesPerSet;

namespace {

// What the eight pictures of every set show, file by file: shape, size and
// colour, each A or B. Answers are judged by the pictures, not by the index code.
enum Attribute { Shape = 1, Size = 2, Colour = 4 };
constexpr std::array<const char*, 8> kFileAttributes{"AAA", "AAB", "ABA", "ABB", "BAA", "BAB", "BBA", "BBB"};

// The picture that differs from the model in exactly these attributes.
int pictureWithChanges(int model, int attributes) {
    for (std::size_t i = 0; i < kPicturesPerSet; ++i) {
        int differing = 0;
        for (int k = 0; k < 3; ++k)
            if (kFileAttributes[std::size_t(model)][k] != kFileAttributes[i][k])
                differing |= 1 << k;
        if (differing == attributes)
            return int(i);
    }
    return -1;
}

// A change as the letters name it: the attributes it changes, its word and
// its part of the instruction's key.
struct Change {
    int attributes;
    QString word;
    QString key;
};
const Change kColour{Colour, u"w-colour"_s, u"Colour"_s};
const Change kSize{Size, u"w-size"_s, u"Size"_s};
const Change kShape{Shape, u"w-shape"_s, u"Shape"_s};
const Change kNothing{0, u"w-nothing"_s, u"Same"_s};
const Change kEverything{Colour | Size | Shape, u"w-colour, w-size, w-shape"_s, u"Everything"_s};
const std::map<QString, Change> kNamedChange{
    {u"CO"_s, kColour}, {u"DI"_s, kSize},  {u"FO"_s, kShape},  {u"NI"_s, kNothing}, {u"C1"_s, kColour},
    {u"D1"_s, kSize},   {u"F1"_s, kShape}, {u"c2"_s, kColour}, {u"d2"_s, kSize},    {u"f2"_s, kShape},
};

// Every leave question names its screen's number; the changes of FormEs5 and
// FormEs6 have letters of their own; every sentence is "say" and its key.
QByteArray languageFile() {
    using modLanguageSupport::MLSOurFileKey;
    using modLanguageSupport::OurWords;
    QString text = u"[Speech]\r\n"_s;
    for (const QString& key : exercises::exercise_catalogue::spokenKeys())
        text += MLSOurFileKey(OurWords::Speech, key) % u"=\"say "_s % key % u"\"\r\n"_s;
    text +=
        u"[Strings]\r\n0013=\"lascia 1\"\r\n0011=\"lascia 2\"\r\n0004=\"lascia 3\"\r\n0010=\"lascia 4\"\r\n"
        "0009=\"lascia 5\"\r\n0020=\"lascia 6\"\r\n0012=\"lascia 7\"\r\n"
        "0005=\"CO\"\r\n0006=\"DI\"\r\n0007=\"FO\"\r\n0008=\"NI\"\r\n"
        "0014=\"C1\"\r\n0015=\"D1\"\r\n0016=\"F1\"\r\n0017=\"c2\"\r\n0018=\"d2\"\r\n0019=\"f2\"\r\n"
        "[Accessibility]\r\n"_s;
    const std::pair<const char*, const char*> words[] = {{"ChangeIs", "change is %1"}, {"WordColour", "w-colour"},
                                                         {"WordSize", "w-size"},       {"WordShape", "w-shape"},
                                                         {"WordNothing", "w-nothing"}, {"HearAgain", "hear again"}};
    for (const auto& [key, word] : words)
        text += MLSOurFileKey(OurWords::Accessibility, QString::fromLatin1(key)) % u"=\""_s %
                QString::fromLatin1(word) % u"\"\r\n"_s;
    return text.toUtf8();
}

// What a screen should show of its rule: the attributes each step of its drawing changes, the words
// of its changes, its instruction's key, and the attributes its right picture changes (-1 when the
// screen asks something unknown).
struct Expected {
    std::vector<int> steps;
    QString words;
    QString key;
    int attributes = -1;
};

// A silent 16-bit mono PCM WAV file lasting `milliseconds` at 8000 Hz.
QByteArray silentWav(int milliseconds) {
    const quint32 dataBytes = 16 * quint32(milliseconds);
    QByteArray wav;
    QDataStream out(&wav, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    // PCM, mono, 8000 samples of 2 bytes a second
    out << quint32(16) << quint16(1) << quint16(1) << quint32(8000) << quint32(16000) << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    return wav + QByteArray(qsizetype(dataBytes), '\0');
}

QString accessibleText(QWidget* widget, QAccessible::Text text) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(text) : u"(no interface)"_s;
}

constexpr int kSoundMilliseconds = 700;

}  // namespace

class ExerciseScreensTest : public QObject {
    Q_OBJECT

    ExerciseScreen es1{exercises::exercise_catalogue::exercise(1)};
    ExerciseScreen es2{exercises::exercise_catalogue::exercise(2)};
    ExerciseScreen es3{exercises::exercise_catalogue::exercise(3)};
    ExerciseScreen es4{exercises::exercise_catalogue::exercise(4)};
    ExerciseScreen es5{exercises::exercise_catalogue::exercise(5)};
    ExerciseScreen es6{exercises::exercise_catalogue::exercise(6)};
    ExerciseScreen es7{exercises::exercise_catalogue::exercise(7)};
    const std::array<ExerciseScreen*, 7> all{&es1, &es2, &es3, &es4, &es5, &es6, &es7};

    QTemporaryDir folder;
    std::vector<forms::MessageBoxRequest> boxes;
    forms::MsgAnswer answer = forms::MsgAnswer::No;
    QStringList sounds;
    int menusShown = 0;
    QStringList said;
    QList<qint64> saidAt;  // milliseconds after `clock` started
    QElapsedTimer clock;

    static Control& picture(const ExerciseScreen& screen, int i) { return screen.control(ex::Picture1, i); }
    static QString caption(const ExerciseScreen& screen, const QString& name) {
        return screen.control(name).text(forms::TextProperty::Caption).value_or(u"(none)"_s);
    }
    // The right and wrong counts as the screen shows them.
    static QString counts(const ExerciseScreen& screen) {
        return caption(screen, u"EtichettaEsatti"_s) % u'/' % caption(screen, u"EtichettaErrati"_s);
    }
    static void clickPicture(const ExerciseScreen& screen, int i) {
        QTest::mouseClick(picture(screen, i).widget(), Qt::LeftButton);
    }
    static void clickNext(const ExerciseScreen& screen) {
        QTest::mouseClick(screen.control(ex::BottoneAvanti).widget(), Qt::LeftButton);
    }
    // Whether the face of a right answer and that of a wrong one show.
    static std::pair<bool, bool> faces(const ExerciseScreen& screen) {
        return {screen.control(ex::ComandoIconaSi).visible(), screen.control(ex::ComandoIconaNo).visible()};
    }

    // The one picture that is this very image (not merely equal pixels): its index, else -1 (-2 for several).
    static int indexShowing(const ExerciseScreen& screen, const QImage& image) {
        int found = -1;
        for (int i = 0; i < kPicturesPerSet; ++i)
            if (!image.isNull() && picture(screen, i).picture().image().cacheKey() == image.cacheKey())
                found = found == -1 ? i : -2;
        return found;
    }
    static int shownModel(const ExerciseScreen& screen) {
        return indexShowing(screen, screen.control(ex::Picture2).picture().image());
    }

    static int rightPicture(int number, const ExerciseScreen& screen) {
        return pictureWithChanges(shownModel(screen), expectedRule(number, screen).attributes);
    }

    // What the screen's letters (or, for a fixed rule, its number) ask.
    static Expected expectedRule(int number, const ExerciseScreen& screen) {
        const std::map<int, Change> fixed{{1, kColour}, {2, kShape}, {3, kNothing}, {4, kSize}, {7, kEverything}};
        if (const auto row = fixed.find(number); row != fixed.end())
            return {{row->second.attributes}, row->second.word, row->second.key, row->second.attributes};
        Expected drawn;
        drawn.attributes = 0;
        QStringList words;
        for (const QString& letters : caption(screen, u"Label4"_s).split(u' ')) {
            const auto change = kNamedChange.find(letters);
            if (change == kNamedChange.end())
                return {};
            drawn.steps.push_back(change->second.attributes);
            words.append(change->second.word);
            drawn.key += change->second.key;
            drawn.attributes ^= change->second.attributes;
        }
        drawn.words = words.join(u", "_s);
        return words.size() == (number == 6 ? 2 : 1) ? drawn : Expected{};
    }
    // The drawing, the words for a screen reader and the window's description
    // of the open puzzle's rule; the change and the instruction are announced on
    // opening and at every new puzzle (after the last answer's news) where it is drawn.
    // The drawing goes from the model's picture, through the picture after each
    // change, to the right one, by arrows, or "=" for no change.
    static void checkRuleShown(int number, const ExerciseScreen& screen) {
        const Expected asked = expectedRule(number, screen);
        QVERIFY2(!asked.key.isEmpty(), qPrintable(caption(screen, u"Label4"_s)));
        const auto* drawing = dynamic_cast<forms::ImageView*>(screen.control(ex::RuleDrawing).widget());
        QVERIFY(drawing);
        const forms::PictureRow& row = drawing->row();
        int from = shownModel(screen);
        QCOMPARE(indexShowing(screen, row.first), from);
        QCOMPARE(row.next.size(), asked.steps.size());
        for (std::size_t i = 0; i < asked.steps.size(); ++i) {
            const int to = pictureWithChanges(from, asked.steps[i]);
            QCOMPARE(indexShowing(screen, row.next[i].image), to);
            QCOMPARE(row.next[i].sign, asked.steps[i] == 0 ? forms::Sign::Equals : forms::Sign::Arrow);
            from = to;
        }
        QCOMPARE(from, rightPicture(number, screen));
        const QString change = u"change is "_s + asked.words;
        QCOMPARE(accessibleText(screen.control(ex::Label4).widget(), QAccessible::Name), change);
        QCOMPARE(accessibleText(screen.window(), QAccessible::Description), u"say "_s + asked.key);
        QWidget* news = screen.window()->findChild<QWidget*>(QString::fromLatin1(forms::kAnnouncementName));
        if (number == 5 || number == 6) {
            QVERIFY(news && news->isVisible());
            QCOMPARE(accessibleText(news, QAccessible::Name), change + u". say "_s + asked.key);
            QCOMPARE(QAccessible::queryAccessibleInterface(news)->role(), QAccessible::Notification);
        } else {
            QVERIFY(!news || !accessibleText(news, QAccessible::Name).startsWith(change));
        }
    }
    // Chooses picture `index`, listening afresh to what is said after it.
    void chooseAndListen(ExerciseScreen& screen, int index) {
        said.clear();
        saidAt.clear();
        clock.restart();
        screen.control(ex::Picture1, index).click();
    }
    static int wrongIndex(const ExerciseScreen& screen) { return (*screen.puzzle().rightIndex() + 1) % 8; }
    static void nextPuzzle(ExerciseScreen& screen) {
        screen.control(ex::BottoneAvanti).setEnabled(true);
        screen.control(ex::BottoneAvanti).click();
    }

    static int enabledPictures(const ExerciseScreen& screen) {
        int enabled = 0;
        for (int i = 0; i < kPicturesPerSet; ++i)
            enabled += int(picture(screen, i).enabled());
        return enabled;
    }
    static bool isOpen(const ExerciseScreen& screen) {
        const Control& next = screen.control(ex::BottoneAvanti);
        return enabledPictures(screen) == kPicturesPerSet && next.visible() && !next.enabled() &&
               screen.control(ex::Picture3).picture().isEmpty();
    }
    static bool isSolved(const ExerciseScreen& screen) {
        return enabledPictures(screen) == 0 && screen.control(ex::BottoneAvanti).enabled() &&
               indexShowing(screen, screen.control(ex::Picture3).picture().image()) >= 0;
    }
    static void solve(int number, ExerciseScreen& screen) {
        const int right = rightPicture(number, screen);
        clickPicture(screen, right);
        QVERIFY(isSolved(screen));
        QCOMPARE(indexShowing(screen, screen.control(ex::Picture3).picture().image()), right);
    }

    QImage fileImage(int set, int n) const {
        return files::LoadPicture(folder.path() % u"/gif/%1/%2.gif"_s.arg(set).arg(n))
            .value_or(files::Picture())
            .image();
    }

    static void copySets(const QString& from, const QString& to, int sets) {
        for (int set = 1; set <= sets; ++set) {
            QVERIFY(QDir().mkpath(to % u"/gif/"_s % QString::number(set)));
            for (int n = 1; n <= resources::picture_sets::kPicturesPerSet; ++n) {
                const QString file = u"/gif/%1/%2.gif"_s.arg(set).arg(n);
                QVERIFY2(QFile::copy(from % file, to % file), qPrintable(from % file));
            }
        }
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(folder.isValid());
        copySets(QStringLiteral(MF_PROGRAM_DIR), folder.path(), kSetCount);
        QVERIFY(file_bytes::write(folder.path() % u"/Prova.lng"_s, languageFile()));
        QVERIFY(QDir(folder.path()).mkpath(u"suoni"_s));
        for (const QString& sound : {u"si1"_s, u"si2"_s, u"si3"_s, u"si4"_s, u"no"_s})
            QVERIFY(file_bytes::write(folder.path() % u"/suoni/"_s % sound % u".wav"_s, silentWav(kSoundMilliseconds)));
        files::setExecutableFolder(folder.path());
        modLanguageSupport::MLSCurrentLanguage = u"Prova"_s;
        forms::setMessageBoxResponder([this](const forms::MessageBoxRequest& request) {
            boxes.push_back(request);
            return answer;
        });
        media::setSoundObserver([this](const QString& path) { sounds.append(path); });
        state::shell().showMenu = [this] { ++menusShown; };
        media::setSpeechObserver([this](const QString& text, const QString&) {
            said.append(text);
            saidAt.append(clock.elapsed());
        });
    }

    void cleanupTestCase() {
        forms::setMessageBoxResponder({});
        media::setSoundObserver({});
        media::setSpeechObserver({});
        files::setExecutableFolder({});
        state::shell() = {};
    }

    void init() {
        Modulo1::SerieFigure = 6;
        Modulo1::SuoniAttivati = true;
        settings::current().level = settings::Level(settings::kDefaultLevel);
        boxes.clear();
        sounds.clear();
        answer = forms::MsgAnswer::No;
        media::seedRandom(1);
    }

    void cleanup() {
        for (forms::Screen* screen : forms::Screen::loadedScreens())
            screen->Unload();
        files::setExecutableFolder(folder.path());
    }

    // Each visit shows the chosen set, covers the display and starts from zero,
    // with no face (a smile before any answer would praise nothing), with a
    // colour of its own. Every model with every change asked is judged by its
    // rule and shown and described as the rule says. Leaving asks first, by the
    // menu command and by closing the window alike.
    void everyExerciseJudgesByItsRule() {
        Modulo1::SuoniAttivati = false;
        for (int number = 1; number <= 7; ++number) {
            ExerciseScreen& screen = *all[std::size_t(number - 1)];
            Modulo1::SerieFigure = qint16(number <= 5 ? number : 6);
            media::seedRandom(quint64(number));
            const quint32 colour = ModuloColoriSuoni::PreparaColori();
            media::seedRandom(quint64(number));
            screen.Show();
            QCOMPARE(screen.backColor(), colour);
            QCOMPARE(counts(screen), u"0/0"_s);
            QCOMPARE(faces(screen), std::pair(false, false));
            // The set whose first file the screen shows (one past the last when none).
            int set = 1;
            while (set <= kSetCount && picture(screen, 0).picture().image() != fileImage(set, 1))
                ++set;
            QVERIFY2(number <= 5 ? set == number : set <= kSetCount, qPrintable(QString::number(set)));
            QTRY_COMPARE(QRectF(screen.left(), screen.top(), screen.width(), screen.height()),
                         QRectF(0, 0, screen.displayWidth(), screen.displayHeight()));
            // Every model with every change asked: 4 kinds in FormEs5, 9 ordered pairs in FormEs6.
            const std::size_t wanted = number == 5 ? 32 : number == 6 ? 72 : 8;
            std::set<std::pair<int, QString>> seen;
            qint16 rights = 0, wrongs = 0;
            for (int puzzle = 0; puzzle < 1500 && seen.size() < wanted; ++puzzle) {
                QCOMPARE(shownModel(screen), int(Modulo1::IndiceModello));
                checkRuleShown(number, screen);
                seen.emplace(shownModel(screen), caption(screen, u"Label4"_s));
                const int right = rightPicture(number, screen);
                for (int i = 0; i < kPicturesPerSet; ++i) {
                    if (i == right)
                        continue;
                    clickPicture(screen, i);
                    QCOMPARE(Modulo1::ContaErrati(), ++wrongs);
                    QVERIFY(isOpen(screen));
                }
                solve(number, screen);
                QCOMPARE(Modulo1::ContaEsatti(), ++rights);
                QCOMPARE(Modulo1::ContaErrati(), wrongs);
                clickNext(screen);
                QVERIFY(isOpen(screen));
            }
            QCOMPARE(seen.size(), wanted);
            QCOMPARE(accessibleText(screen.control(ex::HearAgain).widget(), QAccessible::Name), u"hear again"_s);
            answer = forms::MsgAnswer::No;
            for (const bool byMenu : {true, false}) {
                boxes.clear();
                if (byMenu)
                    screen.control(ex::mnuEsci).action()->trigger();
                else
                    QVERIFY(!screen.window()->close());
                QCOMPARE(boxes.size(), std::size_t(1));
                QCOMPARE(boxes[0].message, u"lascia "_s % QString::number(number));
                QCOMPARE(boxes[0].buttons, forms::MsgButtons::YesNo);
                QVERIFY(screen.isLoaded());
                QCOMPARE(menusShown, 0);
                QCOMPARE(Modulo1::ContaErrati(), wrongs);
                QVERIFY(isOpen(screen));
            }
            answer = forms::MsgAnswer::Yes;
            if (number % 2 == 1)
                screen.control(ex::mnuEsci).action()->trigger();
            else
                screen.window()->close();
            QVERIFY(!screen.isLoaded());
            QCOMPARE(menusShown, 1);
            QCOMPARE(Modulo1::ContaErrati(), qint16(0));
            menusShown = 0;
        }
        QVERIFY(sounds.isEmpty());
    }

    // Every level shows its own pictures in its own order: as many as it
    // shows, each its file, row by row in squares of one size, exactly one of
    // them the model with another colour; the switch scans them and nothing
    // else, the arrows go along them, and a click or Enter takes the right
    // one. The level changes between puzzles, up and down, and the screen
    // follows. However the window's proportions stretch the screen, wide or
    // tall, the boxes of the model and of the found picture stay as square as
    // their cards, and the found one shows its picture whole.
    void everyLevelShowsItsPictures() {
        Modulo1::SuoniAttivati = false;
        es1.Show();
        es1.setFullScreen(false);
        const std::pair<int, QSize> steps[] = {
            {1, {1000, 560}}, {3, {800, 600}}, {1, {600, 700}}, {2, {800, 600}}, {3, {1000, 560}}};
        for (const auto& [level, size] : steps) {
            settings::current().level = settings::Level(level);
            nextPuzzle(es1);
            const std::vector<qint16>& shown = es1.puzzle().shownPictures();
            QCOMPARE(int(shown.size()), rules::findLevel(level)->shownCount());
            const int set = es1.puzzle().set();
            const int model = es1.puzzle().modelIndex();
            QCOMPARE(es1.control(ex::Picture2).picture().image(), fileImage(set, model + 1));
            std::vector<QWidget*> choices;
            int rightSlot = -1;
            for (int slot = 0; slot < exercises::exercise_layout::kPictureSlots; ++slot) {
                const Control& control = picture(es1, slot);
                QCOMPARE(control.visible(), std::size_t(slot) < shown.size());
                if (!control.visible())
                    continue;
                QCOMPARE(control.picture().image(), fileImage(set, shown[std::size_t(slot)] + 1));
                if (shown[std::size_t(slot)] == (model ^ rules::kColourBit)) {
                    QCOMPARE(rightSlot, -1);
                    rightSlot = slot;
                }
                QWidget* widget = control.widget();
                if (!choices.empty()) {
                    const QWidget* before = choices.back();
                    QVERIFY(std::pair(before->y(), before->x()) < std::pair(widget->y(), widget->x()));
                    QVERIFY(!before->geometry().intersects(widget->geometry()));
                    QCOMPARE(widget->size(), before->size());
                }
                QVERIFY(es1.window()->rect().contains(widget->geometry()));
                choices.push_back(widget);
            }
            QVERIFY(rightSlot >= 0);
            choices.insert(choices.end(), {es1.control(ex::HearAgain).widget(), es1.control(ex::HomeButton).widget()});
            QCOMPARE(es1.scan().reachableChoices(), choices);
            QCOMPARE(es1.window()->focusWidget(), choices.front());
            QTest::keyClick(choices.front(), Qt::Key_Right);
            QCOMPARE(es1.window()->focusWidget(), choices[1]);

            const int wrongSlot = (rightSlot + 1) % int(shown.size());
            clickPicture(es1, wrongSlot);
            QVERIFY(!es1.puzzle().solved());
            if (level == 3) {
                picture(es1, rightSlot).widget()->setFocus();
                QTest::keyClick(picture(es1, rightSlot).widget(), Qt::Key_Return);
            } else {
                clickPicture(es1, rightSlot);
            }
            QVERIFY(es1.puzzle().solved());
            QCOMPARE(es1.control(ex::Picture3).picture().image(), fileImage(set, (model ^ rules::kColourBit) + 1));
            es1.window()->resize(size);
            for (const char* name : {"Picture4", "Picture2", "Picture5", "Picture3"}) {
                const QWidget* box = es1.control(QString::fromLatin1(name)).widget();
                QTRY_VERIFY2(qAbs(box->width() - box->height()) <= 1, name);
            }
            QVERIFY(
                es1.control(ex::Picture5).widget()->rect().contains(es1.control(ex::Picture3).widget()->geometry()));
        }
        QCOMPARE(Modulo1::ContaEsatti(), 5);
        QCOMPARE(Modulo1::ContaErrati(), 5);
        es1.Unload();
    }

    // The answers' sounds, faces and counts; a right button takes nothing, nor does a click once
    // solved; the counts reset from the menu.
    void wrongClicksTheRightOneNextCountsAndReset() {
        es4.Show();
        QTest::mouseClick(picture(es4, rightPicture(4, es4)).widget(), Qt::RightButton);
        clickPicture(es4, shownModel(es4));
        const auto announced = [this] {
            QWidget* news = es4.window()->findChild<QWidget*>(QString::fromLatin1(forms::kAnnouncementName));
            return news ? accessibleText(news, QAccessible::Name) : QString();
        };
        QCOMPARE(announced(), u"Errati, Errati 1"_s);
        clickPicture(es4, pictureWithChanges(shownModel(es4), Colour));
        QCOMPARE(counts(es4), u"0/ 2"_s);
        QCOMPARE(faces(es4), std::pair(false, true));
        QCOMPARE(sounds, QStringList(2, folder.path() % u"/suoni/no.wav"_s));
        solve(4, es4);
        QCOMPARE(sounds.size(), 3);
        QVERIFY2(sounds.last().startsWith(folder.path() % u"/suoni/si"_s), qPrintable(sounds.last()));
        QCOMPARE(counts(es4), u" 1/ 2"_s);
        QCOMPARE(faces(es4), std::pair(true, false));
        for (int i = 0; i < kPicturesPerSet; ++i)
            clickPicture(es4, i);
        QCOMPARE(counts(es4), u" 1/ 2"_s);
        QCOMPARE(sounds.size(), 3);
        const quint32 colour = es4.backColor();
        clickNext(es4);
        QVERIFY(isOpen(es4));
        QCOMPARE(faces(es4), std::pair(true, false));
        QCOMPARE(es4.backColor(), colour);

        // Resetting keeps the puzzle as it stands, solved here, and counts on from zero.
        clickPicture(es4, shownModel(es4));
        solve(4, es4);
        QCOMPARE(counts(es4), u" 2/ 3"_s);
        es4.control(u"MenuAzzera"_s).action()->trigger();
        QCOMPARE(counts(es4), u"0/0"_s);
        QCOMPARE(Modulo1::ContaEsatti(), 0);
        QCOMPARE(Modulo1::ContaErrati(), 0);
        QVERIFY(isSolved(es4));
        QCOMPARE(faces(es4), std::pair(false, false));
        clickNext(es4);
        solve(4, es4);
        QCOMPARE(counts(es4), u" 1/0"_s);

        // The counts shown and the answer's announcement follow the counts their
        // signal carries, not what the screen showed before: here the answer
        // comes before its counts, the other way round from the model's.
        auto& model = const_cast<rules::PuzzleModel&>(es4.puzzle());
        Q_EMIT model.answered(false, shownModel(es4), {.right = 3, .wrong = 9}, 2);
        QCOMPARE(announced(), u"Errati, Errati 9"_s);
        QCOMPARE(counts(es4), u" 1/0"_s);
        Q_EMIT model.countsChanged({.right = 3, .wrong = 9});
        QCOMPARE(counts(es4), u" 3/ 9"_s);
    }

    // A missing picture file and one that is no picture show a card, and every puzzle is played as ever.
    void unreadablePicturesShowACard() {
        QTemporaryDir broken;
        copySets(folder.path(), broken.path(), 1);
        QVERIFY(QFile::copy(folder.path() % u"/Prova.lng"_s, broken.path() % u"/Prova.lng"_s));
        QVERIFY(QFile::remove(broken.path() % u"/gif/1/3.gif"_s));
        QVERIFY(file_bytes::write(broken.path() % u"/gif/1/5.gif"_s, "GIF89a this is no picture"));
        files::setExecutableFolder(broken.path());
        Modulo1::SerieFigure = 1;
        Modulo1::SuoniAttivati = false;

        es3.Show();
        const QImage card = exercises::picture_files::missingPictureCard().image();
        QCOMPARE(picture(es3, 2).picture().image(), card);
        QCOMPARE(picture(es3, 4).picture().image(), card);
        QCOMPARE(picture(es3, 0).picture().image(), fileImage(1, 1));
        std::set<int> solvedModels;
        for (int n = 0; n < 200 && solvedModels.size() < 8; ++n) {
            solvedModels.insert(shownModel(es3));
            solve(3, es3);
            clickNext(es3);
        }
        QCOMPARE(solvedModels.size(), std::size_t(8));
    }

    void praiseAndHelpFollowTheSound() {
        answer = forms::MsgAnswer::Yes;
        es1.Show();
        // Praise after a right answer's sound, a different one each time.
        QString lastPraise;
        for (int puzzle = 0; puzzle < 2; ++puzzle) {
            chooseAndListen(es1, *es1.puzzle().rightIndex());
            QTRY_COMPARE_WITH_TIMEOUT(said.size(), 1, 5000);
            QVERIFY2(said.front().startsWith(u"say Praise"_s), qPrintable(said.front()));
            QVERIFY(said.front() != lastPraise);
            QVERIFY2(saidAt.front() >= kSoundMilliseconds * 9 / 10, qPrintable(QString::number(saidAt.front())));
            lastPraise = said.front();
            nextPuzzle(es1);
        }
        // The instruction again after the second wrong answer of a puzzle, not after the first.
        chooseAndListen(es1, wrongIndex(es1));
        QTest::qWait(kSoundMilliseconds * 2);
        QVERIFY(said.isEmpty());
        chooseAndListen(es1, wrongIndex(es1));
        QTRY_COMPARE_WITH_TIMEOUT(said, QStringList{u"say Colour"_s}, 5000);
        QVERIFY(saidAt.front() >= kSoundMilliseconds * 9 / 10);
        // A new puzzle before the sound ends, or leaving, cancels the praise.
        chooseAndListen(es1, *es1.puzzle().rightIndex());
        nextPuzzle(es1);
        chooseAndListen(es1, *es1.puzzle().rightIndex());
        es1.control(ex::mnuEsci).click();
        QVERIFY(!es1.isLoaded());
        QTest::qWait(kSoundMilliseconds * 2);
        QVERIFY2(said.isEmpty(), qPrintable(said.join(u"|")));
        // With the sounds off, nothing.
        Modulo1::SuoniAttivati = false;
        es1.Show();
        chooseAndListen(es1, *es1.puzzle().rightIndex());
        QTest::qWait(kSoundMilliseconds * 2);
        QVERIFY(said.isEmpty());
        // With the praise off (a parent's setting), no praise; the help still comes.
        Modulo1::SuoniAttivati = true;
        settings::current().praise = false;
        nextPuzzle(es1);
        chooseAndListen(es1, *es1.puzzle().rightIndex());
        QTest::qWait(kSoundMilliseconds * 2);
        QVERIFY2(said.isEmpty(), qPrintable(said.join(u"|")));
        nextPuzzle(es1);
        for (int wrong = 0; wrong < 2; ++wrong)
            chooseAndListen(es1, wrongIndex(es1));
        QTRY_COMPARE_WITH_TIMEOUT(said.size(), 1, 5000);
        QVERIFY(!said.front().startsWith(u"say Praise"_s));
        settings::current().praise = true;
        es1.Unload();
    }
};

QTEST_MAIN(ExerciseScreensTest)
#include "tst_exercise_screens.moc"
