// The seven exercise screens played the way a child plays them: clicks on the
// pictures, the Next button and the menu commands, with a seeded generator,
// scripted message boxes and a program folder of our own.

#include "app/Modulo1.h"
#include "app/Screens.h"
#include "exercises/FormEs1.h"
#include "exercises/FormEs2.h"
#include "exercises/FormEs3.h"
#include "exercises/FormEs4.h"
#include "exercises/FormEs5.h"
#include "exercises/FormEs6.h"
#include "exercises/FormEs7.h"
#include "exercises/PictureFiles.h"
#include "feedback/ModuloColoriSuoni.h"
#include "language/modLanguageSupport.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "platform/Random.h"
#include "platform/Sound.h"
#include "tests/exercises/PictureAttributes.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <map>
#include <set>

using namespace Qt::Literals::StringLiterals;
using namespace picture_attributes;
using platform::Control;
using platform::Coordinate;
using platform::TextProperty;

namespace {

class MenuStub : public platform::Screen {
public:
    MenuStub() : platform::Screen(platform::ScreenDesign{"FormMenu", 6000, 4000, qRgb(255, 255, 255)}) {}
};

// The texts the test language gives to the string numbers of the exercises.
const char* const kLanguageFile =
    "[FormEs1]\r\n"
    "Label3.Caption=\"COLORE TRADOTTO\"\r\n"
    "[Strings]\r\n"
    "0004=\"lascia 3\"\r\n"
    "0005=\"CO\"\r\n"
    "0006=\"DI\"\r\n"
    "0007=\"FO\"\r\n"
    "0008=\"NI\"\r\n"
    "0009=\"lascia 5\"\r\n"
    "0010=\"lascia 4\"\r\n"
    "0011=\"lascia 2\"\r\n"
    "0012=\"lascia 7\"\r\n"
    "0013=\"lascia 1\"\r\n"
    "0014=\"C1\"\r\n"
    "0015=\"D1\"\r\n"
    "0016=\"F1\"\r\n"
    "0017=\"c2\"\r\n"
    "0018=\"d2\"\r\n"
    "0019=\"f2\"\r\n"
    "0020=\"lascia 6\"\r\n"
    "9996=\"riga informazioni\"\r\n";

// The attributes that a label text of FormEs5 or FormEs6 names.
const std::map<QString, int> kNamedChange{
    {u"CO"_s, Colour}, {u"DI"_s, Size}, {u"FO"_s, Shape}, {u"NI"_s, 0},
    {u"C1"_s, Colour}, {u"D1"_s, Size}, {u"F1"_s, Shape},
    {u"c2"_s, Colour}, {u"d2"_s, Size}, {u"f2"_s, Shape},
};

}  // namespace

namespace screens {
platform::Screen& FormMenu() {
    static MenuStub menu;
    return menu;
}
}  // namespace screens

class ExerciseScreensTest : public QObject {
    Q_OBJECT

    FormEs1 es1;
    FormEs2 es2;
    FormEs3 es3;
    FormEs4 es4;
    FormEs5 es5;
    FormEs6 es6;
    FormEs7 es7;
    const std::array<FormEsercizio*, 7> all{&es1, &es2, &es3, &es4, &es5, &es6, &es7};

    QTemporaryDir folder;
    std::vector<platform::MessageBoxRequest> boxes;
    platform::MsgAnswer answer = platform::MsgAnswer::No;
    QStringList sounds;

    static Control& picture(const FormEsercizio& screen, int i) { return screen.control(u"Picture1"_s, i); }
    static QString caption(const FormEsercizio& screen, const QString& name) {
        return screen.control(name).text(TextProperty::Caption).value_or(u"(none)"_s);
    }

    static void clickPicture(const FormEsercizio& screen, int i) {
        QWidget* widget = picture(screen, i).widget();
        QVERIFY(widget);
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
    }
    static void clickNext(const FormEsercizio& screen) {
        QWidget* button = screen.control(u"BottoneAvanti"_s).widget();
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    }
    static void chooseMenu(const FormEsercizio& screen, const QString& name) {
        QAction* action = screen.control(name).action();
        QVERIFY(action);
        action->trigger();
    }

    // The index whose picture the model box shows, judged by the pictures.
    static int shownModel(const FormEsercizio& screen) {
        const platform::Picture& model = screen.control(u"Picture2"_s).picture();
        int found = -1;
        for (int i = 0; i < 8; ++i)
            if (picture(screen, i).picture().isSameAs(model))
                found = found == -1 ? i : -2;
        return found;
    }

    // The attributes the screen asks to change, read from what it shows.
    int askedChanges(int number, const FormEsercizio& screen) const {
        switch (number) {
        case 1: return Colour;
        case 2: return Shape;
        case 3: return 0;
        case 4: return Size;
        case 7: return Colour | Size | Shape;
        default: break;
        }
        const QStringList words = caption(screen, u"Label4"_s).split(u' ');
        int changes = 0;
        for (const QString& word : words) {
            const auto named = kNamedChange.find(word);
            if (named == kNamedChange.end())
                return -1;
            changes ^= named->second;
        }
        return words.size() == (number == 6 ? 2 : 1) ? changes : -1;
    }

    static bool isOpen(const FormEsercizio& screen) {
        for (int i = 0; i < 8; ++i)
            if (!picture(screen, i).enabled())
                return false;
        return !screen.control(u"BottoneAvanti"_s).enabled() && screen.control(u"Picture3"_s).picture().isEmpty();
    }
    static bool isSolved(const FormEsercizio& screen) {
        for (int i = 0; i < 8; ++i)
            if (picture(screen, i).enabled())
                return false;
        return screen.control(u"BottoneAvanti"_s).enabled() && !screen.control(u"Picture3"_s).picture().isEmpty();
    }

    // Solves the open puzzle by the pictures it shows.
    void solve(int number, FormEsercizio& screen) {
        const int right = pictureWithChanges(shownModel(screen), askedChanges(number, screen));
        clickPicture(screen, right);
        QVERIFY(isSolved(screen));
    }

    QString gifPath(int set, int n) const { return folder.path() % u"/gif/%1/%2.gif"_s.arg(set).arg(n); }
    QImage fileImage(int set, int n) const { return platform::LoadPicture(gifPath(set, n)).value_or(platform::Picture()).image(); }
    // The set whose eight files the screen shows, or 0.
    int shownSet(const FormEsercizio& screen) const {
        for (int set = 1; set <= 5; ++set) {
            bool all = true;
            for (int i = 0; i < 8 && all; ++i)
                all = picture(screen, i).picture().image() == fileImage(set, i + 1);
            if (all)
                return set;
        }
        return 0;
    }

    void copyPictures(const QString& from, const QString& to) {
        for (int set = 1; set <= 5; ++set) {
            QVERIFY(QDir().mkpath(to % u"/gif/"_s % QString::number(set)));
            for (int n = 1; n <= 8; ++n) {
                const QString relative = u"/gif/%1/%2.gif"_s.arg(set).arg(n);
                QFile::remove(to % relative);
                QVERIFY2(QFile::copy(from % relative, to % relative), qPrintable(from % relative));
            }
        }
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(folder.isValid());
        copyPictures(QStringLiteral(MF_PROGRAM_DIR), folder.path());
        QFile language(folder.path() % u"/Prova.lng"_s);
        QVERIFY(language.open(QIODevice::WriteOnly));
        language.write(kLanguageFile);
        language.close();
        platform::setProgramFolder(folder.path());
        modLanguageSupport::MLSCurrentLanguage = u"Prova"_s;
        platform::setMessageBoxResponder([this](const platform::MessageBoxRequest& request) {
            boxes.push_back(request);
            return answer;
        });
        platform::setSoundObserver([this](const QString& path) { sounds.append(path); });
    }

    void cleanupTestCase() {
        platform::setMessageBoxResponder({});
        platform::setSoundObserver({});
        platform::setProgramFolder({});
    }

    void init() {
        Modulo1::SerieFigure = 6;
        Modulo1::SuoniAttivati = true;
        boxes.clear();
        sounds.clear();
        answer = platform::MsgAnswer::No;
        platform::seedRandom(1);
    }

    void cleanup() {
        for (platform::Screen* screen : platform::Screen::loadedScreens())
            screen->Unload();
        platform::setProgramFolder(folder.path());
    }

    void aScreenJustOpenedShowsAnOpenPuzzle() {
        for (FormEsercizio* screen : all) {
            Modulo1::ContaEsatti = 5;
            Modulo1::ContaErrati = 7;
            screen->Show();
            QVERIFY(screen->isLoaded());
            QCOMPARE(caption(*screen, u"EtichettaEsatti"_s), u"0"_s);
            QCOMPARE(caption(*screen, u"EtichettaErrati"_s), u"0"_s);
            QCOMPARE(Modulo1::ContaEsatti, qint16(0));
            QCOMPARE(Modulo1::ContaErrati, qint16(0));
            QVERIFY(screen->control(u"BottoneAvanti"_s).visible());
            QVERIFY(isOpen(*screen));
            QVERIFY(screen->control(u"ComandoIconaSi"_s).visible());
            QVERIFY(!screen->control(u"ComandoIconaNo"_s).visible());
            QCOMPARE(shownModel(*screen), int(Modulo1::IndiceModello));
            QVERIFY(shownSet(*screen) != 0);
            // The screen covers the display.
            QCOMPARE(screen->left(), 0.0);
            QCOMPARE(screen->top(), 0.0);
            QCOMPARE(screen->width(), screen->displayWidth());
            QCOMPARE(screen->height(), screen->displayHeight());
            screen->Unload();
        }
        // The language applies to the designed captions on load; the menu
        // commands keep their trailing blanks.
        es1.Show();
        QCOMPARE(caption(es1, u"Label3"_s), u"COLORE TRADOTTO"_s);
        QCOMPARE(caption(es1, u"MenuAzzera"_s), u"Azzera conteggio        "_s);
        QCOMPARE(caption(es1, u"MenuInformazioni"_s), u"Informazioni          "_s);
        QVERIFY(!es5.find(u"Label3"_s) && !es6.find(u"Label3"_s) && !es7.find(u"Label3"_s));
    }

    void everyExerciseJudgesByItsRule() {
        Modulo1::SuoniAttivati = false;
        for (int number = 1; number <= 7; ++number) {
            FormEsercizio& screen = *all[std::size_t(number - 1)];
            screen.Show();
            // Every model index with every change the screen can ask for:
            // 8 models, times 4 kinds for FormEs5 and 9 ordered pairs for FormEs6.
            const std::size_t wanted = number == 5 ? 32 : number == 6 ? 72 : 8;
            std::set<std::pair<int, QString>> seen;
            qint16 rights = 0;
            qint16 wrongs = 0;
            for (int puzzle = 0; puzzle < 1500 && seen.size() < wanted; ++puzzle) {
                const int model = shownModel(screen);
                QCOMPARE(model, int(Modulo1::IndiceModello));
                const int asked = askedChanges(number, screen);
                QVERIFY2(asked >= 0, qPrintable(caption(screen, u"Label4"_s)));
                seen.emplace(model, caption(screen, u"Label4"_s));
                const int right = pictureWithChanges(model, asked);
                for (int i = 0; i < 8; ++i) {
                    if (i == right)
                        continue;
                    clickPicture(screen, i);
                    QCOMPARE(Modulo1::ContaErrati, ++wrongs);
                    QVERIFY(isOpen(screen));
                }
                clickPicture(screen, right);
                QCOMPARE(Modulo1::ContaEsatti, ++rights);
                QCOMPARE(Modulo1::ContaErrati, wrongs);
                QVERIFY(isSolved(screen));
                QVERIFY(screen.control(u"Picture3"_s).picture().isSameAs(picture(screen, right).picture()));
                clickNext(screen);
                QVERIFY(isOpen(screen));
            }
            QCOMPARE(seen.size(), wanted);
            screen.Unload();
        }
    }

    void wrongClicksThenTheRightOneThenNext() {
        es4.Show();
        const int model = shownModel(es4);
        const int right = pictureWithChanges(model, Size);
        const int wrong = pictureWithChanges(model, Colour);
        for (int n = 1; n <= 3; ++n) {
            clickPicture(es4, n == 2 ? model : wrong);
            QCOMPARE(caption(es4, u"EtichettaErrati"_s), QString(u' ' % QString::number(n)));
            QVERIFY(!es4.control(u"ComandoIconaSi"_s).visible());
            QVERIFY(es4.control(u"ComandoIconaNo"_s).visible());
            QVERIFY(isOpen(es4));
        }
        QCOMPARE(caption(es4, u"EtichettaEsatti"_s), u"0"_s);
        clickPicture(es4, right);
        QCOMPARE(caption(es4, u"EtichettaEsatti"_s), u" 1"_s);
        QCOMPARE(caption(es4, u"EtichettaErrati"_s), u" 3"_s);
        QVERIFY(es4.control(u"ComandoIconaSi"_s).visible());
        QVERIFY(!es4.control(u"ComandoIconaNo"_s).visible());
        QVERIFY(isSolved(es4));
        // A solved puzzle ignores clicks, the right picture's included.
        for (int i = 0; i < 8; ++i)
            clickPicture(es4, i);
        QCOMPARE(Modulo1::ContaEsatti, qint16(1));
        QCOMPARE(Modulo1::ContaErrati, qint16(3));
        const platform::Picture oldFirst = picture(es4, 0).picture();
        const quint32 colour = es4.backColor();
        clickNext(es4);
        QVERIFY(isOpen(es4));
        QVERIFY(!picture(es4, 0).picture().isSameAs(oldFirst));  // read anew from the files
        QCOMPARE(shownModel(es4), int(Modulo1::IndiceModello));
        QVERIFY(es4.control(u"ComandoIconaSi"_s).visible());  // the last mark stays
        QCOMPARE(es4.backColor(), colour);
    }

    void resetInTheOpenAndTheSolvedState() {
        es2.Show();
        clickPicture(es2, shownModel(es2));  // the model's own copy: wrong here
        chooseMenu(es2, u"MenuAzzera"_s);
        QCOMPARE(caption(es2, u"EtichettaErrati"_s), u"0"_s);
        QCOMPARE(Modulo1::ContaErrati, qint16(0));
        QVERIFY(isOpen(es2));
        QVERIFY(es2.control(u"ComandoIconaNo"_s).visible());
        solve(2, es2);
        const platform::Picture found = es2.control(u"Picture3"_s).picture();
        chooseMenu(es2, u"MenuAzzera"_s);
        QCOMPARE(caption(es2, u"EtichettaEsatti"_s), u"0"_s);
        QCOMPARE(caption(es2, u"EtichettaErrati"_s), u"0"_s);
        QCOMPARE(Modulo1::ContaEsatti, qint16(0));
        QVERIFY(isSolved(es2));
        QVERIFY(es2.control(u"Picture3"_s).picture().isSameAs(found));
        clickNext(es2);
        solve(2, es2);
        QCOMPARE(caption(es2, u"EtichettaEsatti"_s), u" 1"_s);
    }

    void leaveAsksTheScreensQuestion() {
        for (int number = 1; number <= 7; ++number) {
            FormEsercizio& screen = *all[std::size_t(number - 1)];
            screen.Show();
            clickPicture(screen, pictureWithChanges(shownModel(screen), askedChanges(number, screen)) ^ 1);
            boxes.clear();
            answer = platform::MsgAnswer::No;
            chooseMenu(screen, u"mnuEsci"_s);
            QCOMPARE(boxes.size(), std::size_t(1));
            QCOMPARE(boxes[0].message, u"lascia "_s % QString::number(number));
            QCOMPARE(boxes[0].title, u"Metamorfine"_s);
            QCOMPARE(boxes[0].icon, platform::MsgIcon::Question);
            QCOMPARE(boxes[0].buttons, platform::MsgButtons::YesNo);
            QVERIFY(screen.isLoaded());
            QVERIFY(!screens::FormMenu().isLoaded());
            QCOMPARE(Modulo1::ContaErrati, qint16(1));
            QVERIFY(isOpen(screen));
            answer = platform::MsgAnswer::Yes;
            chooseMenu(screen, u"mnuEsci"_s);
            QVERIFY(!screen.isLoaded());
            QVERIFY(screens::FormMenu().isLoaded());
            QCOMPARE(Modulo1::ContaEsatti, qint16(0));
            QCOMPARE(Modulo1::ContaErrati, qint16(0));
            screens::FormMenu().Unload();
        }
    }

    void aboutBoxFromTheMenu() {
        es7.Show();
        chooseMenu(es7, u"MenuInformazioni"_s);
        QCOMPARE(boxes.size(), std::size_t(1));
        QCOMPARE(boxes[0].icon, platform::MsgIcon::Information);
        QCOMPARE(boxes[0].title, u"Metamorfine"_s);
        QVERIFY(boxes[0].message.contains(u"riga informazioni"_s));
        QVERIFY(es7.isLoaded() && isOpen(es7));
    }

    void twoVisitsStartFromZeroWithTheirOwnColour() {
        for (quint64 seed : {11u, 23u}) {
            platform::seedRandom(seed);
            const quint32 expected = ModuloColoriSuoni::PreparaColori();
            platform::seedRandom(seed);
            es3.Show();
            QCOMPARE(es3.backColor(), expected);
            QCOMPARE(caption(es3, u"EtichettaErrati"_s), u"0"_s);
            QVERIFY(es3.control(u"ComandoIconaSi"_s).visible());
            clickPicture(es3, shownModel(es3) ^ 4);
            QCOMPARE(caption(es3, u"EtichettaErrati"_s), u" 1"_s);
            answer = platform::MsgAnswer::Yes;
            chooseMenu(es3, u"mnuEsci"_s);
            QVERIFY(!es3.isLoaded());
            screens::FormMenu().Unload();
        }
    }

    void drawsComeInTheOrderOfTheirUse() {
        Modulo1::SuoniAttivati = false;  // a right answer then draws nothing
        struct Case {
            int number;
            qint16 serie;
        };
        for (const Case c : {Case{1, 3}, Case{3, 6}, Case{5, 6}, Case{5, 2}, Case{6, 6}, Case{7, 6}}) {
            FormEsercizio& screen = *all[std::size_t(c.number - 1)];
            Modulo1::SerieFigure = c.serie;
            screen.Show();
            for (quint64 seed = 1; seed <= 12; ++seed) {
                solve(c.number, screen);
                platform::seedRandom(seed);
                QString label = caption(screen, u"Label4"_s);
                if (c.number == 5)
                    label = std::array{u"CO"_s, u"DI"_s, u"FO"_s, u"NI"_s}[std::size_t(std::floor(platform::Rnd() * 4))];
                if (c.number == 6) {
                    const QString first = std::array{u"C1"_s, u"D1"_s, u"F1"_s}[std::size_t(std::floor(platform::Rnd() * 3))];
                    const QString second = std::array{u"c2"_s, u"d2"_s, u"f2"_s}[std::size_t(std::floor(platform::Rnd() * 3))];
                    label = first % u' ' % second;
                }
                const int set = c.serie == 6 ? int(std::floor(platform::Rnd() * 5)) + 1 : c.serie;
                const int model = int(std::floor(platform::Rnd() * 8));
                platform::seedRandom(seed);
                clickNext(screen);
                QCOMPARE(caption(screen, u"Label4"_s), label);
                QCOMPARE(shownSet(screen), set);
                QCOMPARE(int(Modulo1::IndiceModello), model);
                QCOMPARE(shownModel(screen), model);
            }
            screen.Unload();
        }
    }

    void countsStopAt32767() {
        es7.Show();
        Modulo1::ContaErrati = 32766;
        const int model = shownModel(es7);
        for (int n = 0; n < 3; ++n) {
            clickPicture(es7, model);
            QCOMPARE(Modulo1::ContaErrati, qint16(32767));
            QCOMPARE(caption(es7, u"EtichettaErrati"_s), u" 32767"_s);
        }
        Modulo1::ContaEsatti = 32767;
        clickPicture(es7, pictureWithChanges(model, Colour | Size | Shape));
        QCOMPARE(Modulo1::ContaEsatti, qint16(32767));
        QCOMPARE(caption(es7, u"EtichettaEsatti"_s), u" 32767"_s);
        QVERIFY(isSolved(es7));
    }

    void unreadablePicturesShowACardAndStillPlay() {
        QTemporaryDir broken;
        copyPictures(folder.path(), broken.path());
        QVERIFY(QFile::copy(folder.path() % u"/Prova.lng"_s, broken.path() % u"/Prova.lng"_s));
        QVERIFY(QFile::remove(broken.path() % u"/gif/1/3.gif"_s));
        QFile damaged(broken.path() % u"/gif/1/5.gif"_s);
        QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write("GIF89a this is no picture");
        damaged.close();
        platform::setProgramFolder(broken.path());
        Modulo1::SerieFigure = 1;
        Modulo1::SuoniAttivati = false;

        es3.Show();
        const QImage card = picture_files::missingPictureCard().image();
        QCOMPARE(picture(es3, 2).picture().image(), card);
        QCOMPARE(picture(es3, 4).picture().image(), card);
        QCOMPARE(picture(es3, 0).picture().image(), fileImage(1, 1));
        std::set<int> solvedModels;
        for (int n = 0; n < 200 && solvedModels.size() < 8; ++n) {
            const int model = Modulo1::IndiceModello;
            QVERIFY(es3.control(u"Picture2"_s).picture().isSameAs(picture(es3, model).picture()));
            clickPicture(es3, model ^ 1);
            QVERIFY(isOpen(es3));
            clickPicture(es3, model);
            QVERIFY(isSolved(es3));
            solvedModels.insert(model);
            clickNext(es3);
        }
        QCOMPARE(solvedModels.size(), std::size_t(8));
        es3.Unload();

        // Without any picture folder at all.
        QVERIFY(QDir(broken.path() % u"/gif"_s).removeRecursively());
        es6.Show();
        for (int i = 0; i < 8; ++i)
            QCOMPARE(picture(es6, i).picture().image(), card);
        solve(6, es6);
    }

    void soundsOfRightAndWrongAnswers() {
        es1.Show();
        const int model = shownModel(es1);
        clickPicture(es1, model);
        QCOMPARE(sounds, QStringList{folder.path() % u"/suoni/no.wav"_s});
        sounds.clear();
        clickPicture(es1, model ^ 1);
        QCOMPARE(sounds.size(), 1);
        QVERIFY2(QRegularExpression(u"^"_s % QRegularExpression::escape(folder.path()) % u"/suoni/si[1-4]\\.wav$"_s)
                     .match(sounds[0]).hasMatch(),
                 qPrintable(sounds[0]));
        Modulo1::SuoniAttivati = false;
        sounds.clear();
        clickNext(es1);
        clickPicture(es1, shownModel(es1));
        solve(1, es1);
        QVERIFY(sounds.isEmpty());
    }

    void layoutAtTwiceTheDesignSize() {
        es6.Show();
        const double extraWidth = es6.width() - es6.scaleWidth();
        const double extraHeight = es6.height() - es6.scaleHeight();
        es6.setWidth(2 * 9360 + extraWidth);
        es6.setHeight(2 * 6540 + extraHeight);
        QCoreApplication::processEvents();
        QCOMPARE(es6.scaleWidth(), 2 * 9360.0);
        QCOMPARE(es6.scaleHeight(), 2 * 6540.0);
        struct Expected {
            QString name;
            int index;
            double left, top, width, height;
        };
        std::vector<Expected> expected{
            {u"PicturesattiErrati"_s, -1, 7080, 240, 2175, 2175},
            {u"ComandoIconaSi"_s, -1, 480, 120, 1095, 975},
            {u"ComandoIconaNo"_s, -1, 480, 120, 1095, 975},
            {u"Label1"_s, -1, 120, 1185, 1215, 375},
            {u"Label2"_s, -1, 120, 1710, 1215, 495},
            {u"EtichettaEsatti"_s, -1, 1440, 1080, 615, 615},
            {u"EtichettaErrati"_s, -1, 1440, 1605, 615, 615},
            {u"Picture4"_s, -1, 360, 480, 1695, 1695},
            {u"Picture2"_s, -1, 0, 0, 1695, 1695},
            {u"Picture5"_s, -1, 5040, 480, 1695, 1695},
            {u"Picture3"_s, -1, 0, 0, 1695, 1695},
            {u"Label4"_s, -1, 2520, 840, 2055, 975},
            {u"BottoneAvanti"_s, -1, 7560, 5280, 1575, 975},
        };
        const std::array<double, 4> columns{240, 2040, 3840, 5640};
        const std::array<double, 2> rows{2760, 4560};
        for (int i = 0; i < 8; ++i)
            expected.push_back({u"Picture1"_s, i, columns[std::size_t(i % 4)], rows[std::size_t(i / 4)], 1695, 1695});
        const double twipsPerPixel = es6.scaleWidth() / es6.client()->width();
        for (const Expected& e : expected) {
            const Control& control = es6.control(e.name, e.index);
            const QString what = e.name % u'(' % QString::number(e.index) % u')';
            const QRectF twips(e.left * 2, e.top * 2, e.width * 2, e.height * 2);
            QVERIFY2(qAbs(*control.coordinate(Coordinate::Left) - twips.left()) < 0.5, qPrintable(what));
            QVERIFY2(qAbs(*control.coordinate(Coordinate::Top) - twips.top()) < 0.5, qPrintable(what));
            QVERIFY2(qAbs(*control.coordinate(Coordinate::Width) - twips.width()) < 0.5, qPrintable(what));
            QVERIFY2(qAbs(*control.coordinate(Coordinate::Height) - twips.height()) < 0.5, qPrintable(what));
            // The widget stands there too, within a pixel, counted from the
            // inside of its container's border.
            QRect pixels = control.widget()->geometry();
            if (control.design().container)
                pixels.translate(-control.widget()->parentWidget()->contentsRect().topLeft());
            const QRectF wanted(twips.topLeft() / twipsPerPixel, twips.size() / twipsPerPixel);
            QVERIFY2(qAbs(pixels.x() - wanted.x()) <= 1 && qAbs(pixels.y() - wanted.y()) <= 1 &&
                         qAbs(pixels.width() - wanted.width()) <= 1 && qAbs(pixels.height() - wanted.height()) <= 1,
                     qPrintable(what));
        }
    }
};

QTEST_MAIN(ExerciseScreensTest)
#include "tst_exercise_screens.moc"
