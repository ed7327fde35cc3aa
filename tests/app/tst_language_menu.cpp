// The language menu of the main menu: its entries, the check mark, a choice
// and the remembered language; a right-to-left language mirrors every screen.
#include "ExerciseLayout.h"
#include "FormMenu.h"
#include "OptionalPrinting.h"
#include "ProgramFolderFixture.h"
#include "Random.h"
#include "Screen.h"
#include "ScreenInput.h"
#include "Screens.h"
#include "modLanguageSupport.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
namespace ex = exercises::exercise_layout;
using modLanguageSupport::MLSCurrentLanguage;
using namespace screen_input;

class TestLanguageMenu : public QObject {
    Q_OBJECT

    ProgramFolderFixture folder;

    forms::Screen& menu() { return app::screens::FormMenu(); }

    // The language menu's entries as it shows them, in order, a "*" after the checked one.
    QStringList entries() {
        QStringList captions;
        for (const QAction* entry : menu().control(app::form_menu::mnuLanguages).action()->menu()->actions())
            captions << entry->text() + (entry->isChecked() ? u"*"_s : QString());
        return captions;
    }
    QString exerciseCaption() {
        return menu().control(u"Command7"_s).text(forms::TextProperty::Caption).value_or(QString());
    }
    void openMenu() {
        menu().Unload();
        menu().Show();
    }
    void choose(int index) { menu().control(app::form_menu::mnuLanguage, index).click(); }
    // The words of the buttons of a real question box, shortcut marks removed.
    QStringList questionButtons() {
        forms::setMessageBoxResponder({});
        QStringList words;
        whenOpens([&words](QMessageBox& box) {
            for (const QAbstractButton* button : box.buttons())
                words << button->text().remove(u'&');
            box.done(0);
        });
        forms::MsgBox(u"?"_s, forms::MsgButtons::YesNo, forms::MsgIcon::Question, u"Metamorfine"_s);
        folder.answerBoxes();
        words.sort();
        return words;
    }

private Q_SLOTS:
    void init() {
        menu().Unload();
        folder.clear();
        folder.boxes.clear();
        MLSCurrentLanguage.clear();
    }
    void cleanupTestCase() { menu().Unload(); }

    // Neither a folder nor a file of another suffix is a language.
    void withoutLanguageFilesThePlaceholderStays() {
        QDir(folder.folder.path()).mkdir(u"Cartella.lng"_s);
        folder.writeFile(u"Leggimi.txt"_s, u"[Strings]\r\n"_s);
        MLSCurrentLanguage = u"Deutsch"_s;
        openMenu();
        QCOMPARE(folder.boxes.size(), 1);
        QCOMPARE(folder.boxes.first().message, u"Non è presente alcun file di linguaggio!"_s);
        QVERIFY(folder.boxes.first().title.isNull());
        QCOMPARE(entries(), QStringList{u"mnuLanguage 0"_s});
        QCOMPARE(MLSCurrentLanguage, u"Deutsch"_s);
        QCOMPARE(exerciseCaption(), u"Cambia colore"_s);
    }

    void entriesFollowTheFilesAndTheStoredChoiceIsChecked() {
        for (const auto& [language, caption] :
             {std::pair(u"English"_s, u"Change colour"_s), std::pair(u"Italiano"_s, u"Cambia il colore"_s),
              std::pair(u"deutsch"_s, u"Farbe"_s)})
            folder.writeFile(language + u".lng"_s, u"[FormMenu]\r\nCommand7.Caption=\"%1\"\r\n"_s.arg(caption));
        // Only files that a choice can open are listed: not another case of the
        // suffix, nor a name that is refused as a way out of the folder.
        folder.writeFile(u"Francais.LNG"_s, u"[FormMenu]\r\n"_s);
        folder.writeFile(u"a..b.lng"_s, u"[FormMenu]\r\n"_s);
        folder.storeLanguage(u"Italiano"_s);
        openMenu();
        QCOMPARE(entries(), (QStringList{u"deutsch"_s, u"English"_s, u"Italiano*"_s}));
        QCOMPARE(exerciseCaption(), u"Cambia il colore"_s);

        // The checked entry chosen again stays the choice. A settings file that
        // cannot be written (a folder stands in its place): the choice holds for
        // this run only, and nothing is reported.
        choose(1);
        choose(1);
        QCOMPARE(entries(), (QStringList{u"deutsch"_s, u"English*"_s, u"Italiano"_s}));
        QCOMPARE(exerciseCaption(), u"Change colour"_s);
        QVERIFY(QFile::remove(folder.path(u"LangSetting.ini"_s)));
        QVERIFY(QDir(folder.folder.path()).mkdir(u"LangSetting.ini"_s));
        choose(2);
        QCOMPARE(MLSCurrentLanguage, u"Italiano"_s);
        QCOMPARE(exerciseCaption(), u"Cambia il colore"_s);
        QVERIFY(folder.boxes.isEmpty());
        QVERIFY(QFileInfo(folder.path(u"LangSetting.ini"_s)).isDir());
    }

    // Arabic mirrors the menu and the exercise screen (every control keeps its
    // distance from the other edge) and the arrows move the way the screen
    // reads; Greek and Italian after it stand as a fresh start in their
    // language would, left to right. Each choice is kept and checked, and
    // renames every loaded screen, the start screen and the screen reader's
    // words included, as it reads when loaded in that language.
    void rightToLeftMirrorsEveryScreenBothWays() {
        const QString italian = u"Italiano"_s;
        const QString arabic = u"\u0627\u0644\u0639\u0631\u0628\u064A\u0629"_s;
        const QString greek = u"\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC"_s;
        for (const QString& language : {italian, arabic, greek})
            QVERIFY(folder.copyShipped(language));
        folder.storeLanguage(italian);
        openMenu();
        forms::Screen& exercise = app::screens::FormEs1();
        forms::Screen& start = app::screens::FormAvvio();
        // What a widget tells the screen reader.
        const auto told = [](QWidget* widget) -> QString {
            if (!widget)
                return QString();
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            return accessible->text(QAccessible::Name) + u'|' + accessible->text(QAccessible::Description) + u'|' +
                   widget->toolTip();
        };
        // Every control's place, direction, caption and words; the window itself is the first.
        const auto look = [&told](const forms::Screen& screen) {
            QStringList seen{(screen.window()->isRightToLeft() ? u"rtl "_s : u"ltr "_s) +
                             screen.window()->windowTitle() + u'|' + told(screen.window())};
            for (const auto& control : screen.controls()) {
                QWidget* widget = control->widget();
                const QRect place = widget ? widget->geometry() : QRect();
                seen << control->fullName() + u' ' + QString::number(place.x()) + u',' + QString::number(place.y()) +
                            u' ' + QString::number(place.width()) + u'x' + QString::number(place.height()) + u' ' +
                            control->text(forms::TextProperty::Caption).value_or(QString()) + u'|' + told(widget);
            }
            return seen;
        };
        // The places of a menu button and two pictures, as they stand or mirrored.
        const auto places = [&](bool mirror) {
            QList<QRect> found;
            for (const QWidget* control :
                 {widget(menu(), u"Command7"_s), widget(exercise, ex::Picture1, 0), widget(exercise, ex::Picture2)}) {
                const QRect place = control->geometry();
                const int x = mirror ? control->parentWidget()->width() - place.right() - 1 : place.x();
                found << QRect(x, place.y(), place.width(), place.height());
            }
            return found;
        };
        const auto lookEverywhere = [&] { return QList<QStringList>{look(start), look(menu()), look(exercise)}; };
        start.Load();
        exercise.Show();
        const QList<QRect> leftToRight = places(false);
        for (const QString& language : {arabic, greek, italian}) {
            exercise.Unload();
            choose(int(entries().replaceInStrings(u"*"_s, QString()).indexOf(language)));
            QCOMPARE(MLSCurrentLanguage, language);
            QCOMPARE(modLanguageSupport::MLSStoredLanguage(), language);
            QVERIFY(entries().contains(language + u'*'));
            media::seedRandom(1);
            exercise.Show();
            const bool rightToLeft = language == arabic;
            QCOMPARE(QApplication::layoutDirection(), rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
            QCOMPARE(places(rightToLeft), leftToRight);
            // The next picture along the reading order: leftwards in Arabic.
            QCOMPARE(focused(exercise), widget(exercise, ex::Picture1, 0));
            press(exercise, rightToLeft ? Qt::Key_Left : Qt::Key_Right);
            QCOMPARE(focused(exercise), widget(exercise, ex::Picture1, 1));
            const QList<QStringList> switched = lookEverywhere();
            // A fresh start in the language chosen.
            exercise.Unload();
            start.Unload();
            start.Load();
            openMenu();
            media::seedRandom(1);  // the same puzzle, for its pictures' words
            exercise.Show();
            QCOMPARE(switched, lookEverywhere());
        }
        exercise.Unload();
        start.Unload();
    }

    // Qt's own words follow every switch of language, back to English, whose
    // translation by Qt is empty: it must remove the one before it. A file
    // edited while the program runs shows at the next load of a screen.
    void boxButtonsSpeakTheChosenLanguage() {
        // The menu's name for the screen reader is the language's name here.
        for (const auto& [name, locale] : {std::pair(u"Deutsch"_s, u"de_DE"_s), std::pair(u"English"_s, u"en_GB"_s),
                                           std::pair(u"Italiano"_s, u"it_IT"_s)})
            folder.writeFile(
                name + u".lng"_s,
                u"[Language]\r\nLocale=\"%1\"\r\n[Accessibility]\r\nName(Menu)=\"%2\"\r\n"_s.arg(locale, name));
        folder.storeLanguage(u"Italiano"_s);
        openMenu();
        const QStringList italian{u"No"_s, u"Sì"_s};
        const QStringList english{u"No"_s, u"Yes"_s};
        QCOMPARE(questionButtons(), italian);
        QCOMPARE(menu().window()->accessibleName(), u"Italiano"_s);
        const std::pair<int, QStringList> steps[] = {
            {1, english}, {0, {u"Ja"_s, u"Nein"_s}}, {1, english}, {2, italian}};
        for (const auto& [entry, buttons] : steps) {
            choose(entry);
            QCOMPARE(questionButtons(), buttons);
            QCOMPARE(menu().window()->accessibleName(), MLSCurrentLanguage);
        }
        folder.writeFile(u"Italiano.lng"_s, u"[Accessibility]\r\nName(Menu)=\"Giochi\"\r\n"_s);
        openMenu();
        QCOMPARE(menu().window()->accessibleName(), u"Giochi"_s);
    }
};

QTEST_MAIN(TestLanguageMenu)
#include "tst_language_menu.moc"
