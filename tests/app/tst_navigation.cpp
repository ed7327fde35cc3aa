// Start-up and the screen changes of the start screen and the main menu.
#include "app/Modulo1.h"
#include "app/Screens.h"
#include "language/modLanguageSupport.h"
#include "platform/Colour.h"
#include "platform/Screen.h"
#include "tests/app/ProgramFolderFixture.h"

#include <QTest>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;
using platform::MsgAnswer;
using platform::Screen;
using platform::TextProperty;

namespace {

QStringList loadedNames() {
    QStringList names;
    for (const Screen* screen : Screen::loadedScreens())
        names << screen->name();
    return names;
}

QString caption(const Screen& screen, const QString& name, int index = -1) {
    return screen.control(name, index).text(TextProperty::Caption).value_or(QString());
}

}  // namespace

class TestNavigation : public QObject {
    Q_OBJECT

    ProgramFolderFixture folder;
    MsgAnswer answer = MsgAnswer::Yes;
    int ends = 0;

    Screen& menu() { return screens::FormMenu(); }

    void leaveExercise(Screen& exercise) {
        answer = MsgAnswer::Yes;
        exercise.control(u"mnuEsci"_s).click();
    }
    int selectedPictureSet() {
        for (int index = 0; index < 6; ++index) {
            if (menu().control(u"Option1"_s, index).checked())
                return index + 1;
        }
        return 0;
    }

private Q_SLOTS:
    void initTestCase() {
        // This test's own guard against a second copy, apart from any real copy.
        qputenv("XDG_RUNTIME_DIR", folder.folder.path().toLocal8Bit());
        folder.answer = [this] { return answer; };
        platform::setEndProgramHook([this] { ++ends; });
        folder.writeLanguage(u"English"_s,
                             u"[FormAvvio]\r\nLabel2(1).Caption=\"Maths exercises\"\r\n"
                             "BottoneAvvio.Caption=\"Start\"\r\n"
                             "[FormMenu]\r\nCommand7.Caption=\"Change colour\"\r\n"
                             "[Strings]\r\n0001=\"Already running\"\r\n0002=\"Busy\"\r\n"
                             "0003=\"Quit?\"\r\n"_s);
        folder.writeFile(u"LangSetting.ini"_s, u"[Language]\r\nCurrentLanguage=English\r\n"_s);
    }
    void cleanupTestCase() {
        for (Screen* screen : Screen::loadedScreens())
            screen->Unload();
    }

    // Another process holds the guard, as a running copy does, until told to
    // end; it ends without letting the guard go, as a killed copy would.
    void aSecondCopyIsRefusedInTheRememberedLanguage() {
        int toCopy[2];
        int fromCopy[2];
        QVERIFY(pipe(toCopy) == 0 && pipe(fromCopy) == 0);
        const pid_t copy = fork();
        if (copy == 0) {
            char held = platform::AcquireSingleInstance() ? 'y' : 'n';
            if (write(fromCopy[1], &held, 1) == 1) {
                [[maybe_unused]] const ssize_t told = read(toCopy[0], &held, 1);
            }
            _exit(0);
        }
        char held = 0;
        QVERIFY(read(fromCopy[0], &held, 1) == 1 && held == 'y');

        Modulo1::SerieFigure = 2;
        const bool started = Modulo1::Main();
        [[maybe_unused]] const ssize_t told = write(toCopy[1], "x", 1);
        waitpid(copy, nullptr, 0);
        QVERIFY(!started);
        QVERIFY(Screen::loadedScreens().empty());
        QCOMPARE(Modulo1::SerieFigure, qint16(2));
        QCOMPARE(folder.boxes.size(), 1);
        const platform::MessageBoxRequest box = folder.boxes.takeFirst();
        QCOMPARE(box.message, u"Already running"_s);
        QCOMPARE(box.title, u"Busy"_s);
        QCOMPARE(box.icon, platform::MsgIcon::Critical);
        QCOMPARE(box.buttons, platform::MsgButtons::Ok);
    }

    void startUpShowsOnlyTheStartScreenInTheRememberedLanguage() {
        Modulo1::SerieFigure = 2;
        Modulo1::SuoniAttivati = false;
        QVERIFY(Modulo1::Main());
        QVERIFY(folder.boxes.isEmpty());
        QCOMPARE(Modulo1::SerieFigure, qint16(6));
        QVERIFY(Modulo1::SuoniAttivati);
        QCOMPARE(loadedNames(), QStringList{u"FormAvvio"_s});
        const Screen& start = screens::FormAvvio();
        QCOMPARE(modLanguageSupport::MLSCurrentLanguage, u"English"_s);
        QCOMPARE(caption(start, u"Label2"_s, 1), u"Maths exercises"_s);
        QCOMPARE(caption(start, u"BottoneAvvio"_s), u"Start"_s);
        QCOMPARE(caption(start, u"Label2"_s, 2), u"31 agosto 2003"_s);
        QCOMPARE(caption(start, u"Label2"_s, 0), u"Metamorfine"_s);
        QVERIFY(start.window()->isVisible());
    }

    void avvioLeadsToTheMenuWithTheDefaults() {
        screens::FormAvvio().control(u"BottoneAvvio"_s).click();
        QCOMPARE(loadedNames(), QStringList{u"FormMenu"_s});
        QCOMPARE(selectedPictureSet(), 6);
        QVERIFY(menu().control(u"Check1"_s).checked());
        QCOMPARE(caption(menu(), u"Command7"_s), u"Change colour"_s);
        QCOMPARE(caption(menu(), u"Command1"_s), u"Cambia forma"_s);
        QCOMPARE(menu().window()->frameGeometry(), menu().window()->screen()->geometry());
        const QWidget* soundSwitch = menu().control(u"Check1"_s).widget();
        QVERIFY(soundSwitch->autoFillBackground());
        QCOMPARE(soundSwitch->palette().color(QPalette::Window).rgb(),
                 platform::rgbFromBgr(menu().backColor()));
    }

    void everyExerciseButtonOpensItsScreenAndLeavingBringsTheMenuBack() {
        const QList<std::pair<QString, Screen*>> buttons = {
            {u"Command7"_s, &screens::FormEs1()}, {u"Command1"_s, &screens::FormEs2()},
            {u"Command2"_s, &screens::FormEs3()}, {u"Command3"_s, &screens::FormEs4()},
            {u"Command4"_s, &screens::FormEs5()}, {u"Command5"_s, &screens::FormEs6()},
            {u"Command6"_s, &screens::FormEs7()},
        };
        for (const auto& [button, exercise] : buttons) {
            menu().control(button).click();
            QCOMPARE(loadedNames(), QStringList{exercise->name()});
            Modulo1::ContaEsatti = 3;
            leaveExercise(*exercise);
            QCOMPARE(loadedNames(), QStringList{u"FormMenu"_s});
            QCOMPARE(Modulo1::ContaEsatti, qint16(0));
        }
        QCOMPARE(ends, 0);
    }

    void pictureSetAndSoundSwitchSurviveAVisit() {
        menu().control(u"Option1"_s, 2).click();
        QCOMPARE(Modulo1::SerieFigure, qint16(3));
        menu().control(u"Option1"_s, 2).click();
        QCOMPARE(Modulo1::SerieFigure, qint16(3));
        menu().control(u"Check1"_s).click();
        QVERIFY(!Modulo1::SuoniAttivati);

        menu().control(u"Command4"_s).click();
        leaveExercise(screens::FormEs5());
        QCOMPARE(loadedNames(), QStringList{u"FormMenu"_s});
        QCOMPARE(selectedPictureSet(), 3);
        QVERIFY(!menu().control(u"Check1"_s).checked());
        QCOMPARE(Modulo1::SerieFigure, qint16(3));
        QVERIFY(!Modulo1::SuoniAttivati);

        menu().control(u"Check1"_s).click();
        QVERIFY(Modulo1::SuoniAttivati);
        menu().control(u"Option1"_s, 5).click();
        QCOMPARE(Modulo1::SerieFigure, qint16(6));
        QCOMPARE(selectedPictureSet(), 6);
        QVERIFY(!menu().control(u"Option1"_s, 2).checked());
    }

    void exitAsksAndEndsOnlyOnYes() {
        folder.boxes.clear();
        answer = MsgAnswer::No;
        menu().control(u"BottoneEsci"_s).click();
        QCOMPARE(folder.boxes.size(), 1);
        QCOMPARE(folder.boxes.first().message, u"Quit?"_s);
        QCOMPARE(ends, 0);
        QCOMPARE(loadedNames(), QStringList{u"FormMenu"_s});
        QCOMPARE(selectedPictureSet(), 6);
        QVERIFY(menu().control(u"Check1"_s).checked());

        answer = MsgAnswer::Yes;
        menu().control(u"BottoneEsci"_s).click();
        QCOMPARE(ends, 1);
    }
};

QTEST_MAIN(TestNavigation)
#include "tst_navigation.moc"
