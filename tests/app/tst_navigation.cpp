// Start-up, the screen changes of the start screen and the main menu, and
// the about box (the exit question: tst_kiosk and e2e_program).
#include "Colour.h"
#include "ExerciseLayout.h"
#include "Modulo1.h"
#include "Process.h"
#include "ProgramFolderFixture.h"
#include "Screen.h"
#include "Screens.h"
#include "SharedState.h"
#include "modLanguageSupport.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
namespace ex = exercises::exercise_layout;
using forms::MsgAnswer;
using forms::Screen;

namespace {

QStringList loadedNames() {
    QStringList names;
    for (const Screen* screen : Screen::loadedScreens())
        names << screen->name();
    return names;
}

QString caption(const Screen& screen, const QString& name, int index = -1) {
    return screen.control(name, index).text(forms::TextProperty::Caption).value_or(QString());
}

}  // namespace

class TestNavigation : public QObject {
    Q_OBJECT

    ProgramFolderFixture folder;
    int ends = 0;

    Screen& menu() { return app::screens::FormMenu(); }

    int selectedPictureSet() {
        for (int index = 0; index < 6; ++index) {
            if (menu().control(u"Option1"_s, index).checked())
                return index + 1;
        }
        return 0;
    }

private Q_SLOTS:
    void initTestCase() {
        media::setEndProgramHook([this] { ++ends; });
        folder.writeFile(u"English.lng"_s,
                         u"[FormAvvio]\r\nLabel2(1).Caption=\"Maths exercises\"\r\n"
                         "[Strings]\r\n0003=\"Quit?\"\r\n9993=\"Version %1\"\r\n"_s);
        folder.storeLanguage(u"English"_s);
    }
    void cleanupTestCase() { ProgramFolderFixture::unloadScreens(); }

    // The designed picture set and sound switch at start: tst_settings_dialog.
    void startUpShowsTheStartScreenThenTheMenuWithTheDefaults() {
        QVERIFY(Modulo1::Main());
        QVERIFY(folder.boxes.isEmpty());
        QCOMPARE(loadedNames(), QStringList{u"FormAvvio"_s});
        QCOMPARE(caption(app::screens::FormAvvio(), u"Label2"_s, 1), u"Maths exercises"_s);
        // The version the program is built as, where the design had a date.
        QCOMPARE(caption(app::screens::FormAvvio(), u"Label2"_s, 2), u"Version "_s + QStringLiteral(MF_VERSION));

        app::screens::FormAvvio().control(u"BottoneAvvio"_s).click();
        QCOMPARE(loadedNames(), QStringList{u"FormMenu"_s});
        QCOMPARE(selectedPictureSet(), 6);
        QVERIFY(menu().control(u"Check1"_s).checked());
        QTRY_COMPARE(menu().window()->frameGeometry(), menu().window()->screen()->geometry());
        const QWidget* soundSwitch = menu().control(u"Check1"_s).widget();
        QVERIFY(soundSwitch->autoFillBackground());
        QCOMPARE(soundSwitch->palette().color(QPalette::Window).rgb(), forms::rgbFromBgr(menu().backColor()));
    }

    // Every exercise reaches the shell for the about box and the way back; the
    // menu's picture set and sound switch survive each visit.
    void everyExerciseButtonOpensItsScreenAndLeavingBringsTheMenuBack() {
        menu().control(u"Option1"_s, 2).click();
        menu().control(u"Check1"_s).click();
        // Each button opens the exercise its caption names, under that name.
        folder.answer = MsgAnswer::Yes;
        const char* buttons[] = {"Command7", "Command1", "Command2", "Command3", "Command4", "Command5", "Command6"};
        for (int number = 1; number <= 7; ++number) {
            const QString button = QString::fromLatin1(buttons[number - 1]);
            const QString name = caption(menu(), button).trimmed();
            menu().control(button).click();
            QCOMPARE(loadedNames(), QStringList{u"FormEs"_s + QString::number(number)});
            Screen* exercise = Screen::loadedScreens().front();
            QCOMPARE(exercise->window()->windowTitle(), QCoreApplication::applicationName() % u" \u2014 "_s % name);
            QCOMPARE(exercise->window()->accessibleName(), name);
            folder.boxes.clear();
            exercise->control(ex::MenuInformazioni).click();
            QCOMPARE(folder.boxes.size(), 1);
            exercise->control(ex::mnuEsci).click();
            QCOMPARE(loadedNames(), QStringList{u"FormMenu"_s});
        }
        QCOMPARE(selectedPictureSet(), 3);
        QCOMPARE(Modulo1::SerieFigure, qint16(3));
        QVERIFY(!menu().control(u"Check1"_s).checked());
        QVERIFY(!Modulo1::SuoniAttivati);
        QCOMPARE(ends, 0);
    }

    // --exercise and --language: the start screen gives way to the exercise
    // at once, in the language asked for this run alone; leaving it brings
    // the menu.
    void aStartAskedForOpensTheExerciseInTheLanguage() {
        ProgramFolderFixture::unloadScreens();
        folder.writeFile(u"Deutsch.lng"_s, u"[FormMenu]\r\nCommand2.Caption=\"Gleich\"\r\n"_s);
        Modulo1::RunStart() = {.language = u"Deutsch"_s, .exercise = 3};
        QVERIFY(Modulo1::Main());
        QTRY_COMPARE(loadedNames(), QStringList{u"FormEs3"_s});
        Screen* exercise = Screen::loadedScreens().front();
        QCOMPARE(exercise->window()->windowTitle(), QCoreApplication::applicationName() % u" \u2014 Gleich"_s);
        QCOMPARE(modLanguageSupport::MLSStoredLanguage(), u"English"_s);
        QCOMPARE(Modulo1::RunStart().exercise, 0);
        folder.answer = MsgAnswer::Yes;
        exercise->control(ex::mnuEsci).click();
        QCOMPARE(loadedNames(), QStringList{u"FormMenu"_s});
        Modulo1::RunStart() = {};
    }

    // Yes ends the program: played by the kiosk test outside a kiosk.
    void exitAsksAndNoKeepsTheMenu() {
        folder.boxes.clear();
        folder.answer = MsgAnswer::No;
        menu().control(u"BottoneEsci"_s).click();
        QCOMPARE(folder.boxes.size(), 1);
        QCOMPARE(folder.boxes.first().message, u"Quit?"_s);
        QCOMPARE(folder.boxes.first().buttons, forms::MsgButtons::YesNo);
        QCOMPARE(ends, 0);
        QCOMPARE(loadedNames(), QStringList{u"FormMenu"_s});
    }
    // The credits with the version in the language's words, then the
    // language's lines 9996 to 9999 that are not empty.
    void aboutBoxShowsTheCreditsAndTheLanguageLines() {
        const auto about = [this](const QString& strings) {
            folder.writeFile(u"English.lng"_s, u"[Strings]\r\n"_s + strings);
            folder.boxes.clear();
            Modulo1::MostraInformazioni();
            return folder.boxes.size() == 1 ? folder.boxes.first().message : u"<no single box>"_s;
        };
        const QString credits = about(u"9996=\"\"\r\n9997=\"\"\r\n9998=\"\"\r\n9999=\"\"\r\n0003=\"Esci?\"\r\n"_s);
        QVERIFY(!credits.isEmpty() && !credits.endsWith(u'\n'));
        QCOMPARE(about(u"9993=\"Versione %1\"\r\n9994=\"fatto da noi\"\r\n9995=\"niente e-mail\"\r\n"_s),
                 u"Metamorfine (Versione "_s + QStringLiteral(MF_VERSION) +
                     u")\r\n-----------------------\r\nfatto da noi\r\nniente e-mail"_s);

        const QString separator = u"\r\n-----------------------\r\n"_s;
        QCOMPARE(about(u"9998=\"terza\"\r\n"_s), credits % separator % u"terza\r\n"_s);
        QCOMPARE(about(u"9997=\"   \"\r\n"_s), credits % separator % u"   \r\n"_s);
        QCOMPARE(about(u"9999=\"d\"\r\n9997=\"b\"\r\n9996=\"a\"\r\n9998=\"c\"\r\n"_s),
                 credits % separator % u"a\r\nb\r\nc\r\nd\r\n"_s);
    }
};

QTEST_MAIN(TestNavigation)
#include "tst_navigation.moc"
