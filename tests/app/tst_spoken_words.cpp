// Which sentence is said when: opening each exercise, every new puzzle of the
// random-change and two-changes exercises, the instruction clicked or asked
// for with H, the menu's choices reached by pointer or keyboard; in two
// languages, with a file lacking the sentences, and with the sounds off; and
// which are left to a screen reader that AT-SPI says is running.
#include "ExerciseLayout.h"
#include "FormMenu.h"
#include "ProgramFolderFixture.h"
#include "Screen.h"
#include "ScreenReader.h"
#include "Screens.h"
#include "SharedState.h"
#include "Speech.h"
#include "SpokenWords.h"
#include "modLanguageSupport.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QTest>
#include <utility>

using namespace Qt::Literals::StringLiterals;
namespace ex = exercises::exercise_layout;
using forms::Screen;

namespace {

// Label4 names the changes by the keys of their sentences.
const QString kStrings =
    u"[Strings]\r\n0005=\"Colour\"\r\n0006=\"Size\"\r\n0007=\"Shape\"\r\n0008=\"Same\"\r\n0014=\"Colour\"\r\n"
    "0015=\"Size\"\r\n0016=\"Shape\"\r\n0017=\"Colour\"\r\n0018=\"Size\"\r\n0019=\"Shape\"\r\n"_s;

// A language whose sentence of each key is its locale and the key.
QString languageFile(const QString& locale) {
    QString speech = u"[Language]\r\nLocale=\""_s + locale + u"\"\r\n[Speech]\r\n"_s;
    for (const QString& key : app::FormMenu::SpokenKeys())
        speech += modLanguageSupport::MLSOurFileKey(modLanguageSupport::OurWords::Speech, key) + u"=\""_s + locale +
                  u' ' + key + u"\"\r\n"_s;
    return speech + kStrings;
}

// AT-SPI's status on a session bus of this test's own, as the accessibility
// bus's launcher keeps it and a screen reader sets it.
class AccessibilityStatus : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.a11y.Status")
    Q_PROPERTY(bool ScreenReaderEnabled READ screenReaderEnabled)

public:
    bool screenReaderEnabled() const { return enabled_; }

    // Starts the bus; false when it could not be started.
    bool start() {
        daemon_.start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address"_s});
        if (!daemon_.waitForReadyRead(10000))
            return false;
        // The program's own connection is made on its first use, to this bus.
        qputenv("DBUS_SESSION_BUS_ADDRESS", daemon_.readLine().trimmed());
        bus_ = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"accessibility-status"_s);
        return bus_.registerObject(u"/org/a11y/bus"_s, this, QDBusConnection::ExportAllProperties) &&
               bus_.registerService(u"org.a11y.Bus"_s);
    }
    ~AccessibilityStatus() override {
        QDBusConnection::disconnectFromBus(u"accessibility-status"_s);
        daemon_.kill();
        daemon_.waitForFinished();
    }
    void setScreenReaderEnabled(bool enabled) {
        enabled_ = enabled;
        QDBusMessage changed = QDBusMessage::createSignal(u"/org/a11y/bus"_s, u"org.freedesktop.DBus.Properties"_s,
                                                          u"PropertiesChanged"_s);
        changed << u"org.a11y.Status"_s << QVariantMap{{u"ScreenReaderEnabled"_s, enabled}} << QStringList();
        bus_.send(changed);
    }

private:
    QProcess daemon_;
    QDBusConnection bus_{QString()};
    bool enabled_ = true;
};

}  // namespace

class SpokenWordsTest : public QObject {
    Q_OBJECT

    ProgramFolderFixture folder;
    AccessibilityStatus accessibility;
    QList<std::pair<QString, QString>> said;  // sentence, locale

    Screen& menu() { return app::screens::FormMenu(); }

    // What the screen asks, from the changes it names.
    static QString askedKey(const Screen& exercise, const QString& fixedKey) {
        return fixedKey.isEmpty() ? exercise.control(ex::Label4).text(forms::TextProperty::Caption)->remove(u' ')
                                  : fixedKey;
    }
    // Says `expected` (in `locale`), or nothing when the language has no sentences.
    void checkSaid(const QString& locale, const QString& key, const char* when) {
        const QList<std::pair<QString, QString>> expected{{locale + u' ' + key, locale}};
        QVERIFY2(said == expected.first(locale.isEmpty() ? 0 : 1), when);
        said.clear();
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(accessibility.start(), "a session bus of the test's own");
        folder.writeFile(u"Uno.lng"_s, languageFile(u"it"_s));
        folder.writeFile(u"Due.lng"_s, languageFile(u"en"_s));
        folder.writeFile(u"Vuoto.lng"_s, kStrings);
        folder.answer = forms::MsgAnswer::Yes;
        state::shell().showMenu = [this] { menu().Show(); };
        media::setSpeechObserver([this](const QString& text, const QString& locale) { said.append({text, locale}); });
    }
    void cleanupTestCase() {
        media::setSpeechObserver({});
        ProgramFolderFixture::unloadScreens();
    }

    // In Italian, in English, and in a language without sentences.
    void sentencesFollowTheChildsSteps() {
        for (const auto& [language, locale] :
             {std::pair(u"Uno"_s, u"it"_s), std::pair(u"Due"_s, u"en"_s), std::pair(u"Vuoto"_s, QString())}) {
            modLanguageSupport::MLSCurrentLanguage = language;
            Modulo1::SuoniAttivati = true;
            menu().Show();
            QTest::mouseMove(menu().window(), QPoint(1, 1));
            said.clear();

            const std::pair<const char*, const char*> exercises[] = {
                {"Command7", "Colour"}, {"Command1", "Shape"}, {"Command2", "Same"},      {"Command3", "Size"},
                {"Command4", ""},       {"Command5", ""},      {"Command6", "Everything"}};
            for (const auto& [button, fixedKey] : exercises) {
                menu().control(QString::fromLatin1(button)).click();
                Screen* exercise = Screen::loadedScreens().front();
                const QString key = QString::fromLatin1(fixedKey);
                checkSaid(locale, askedKey(*exercise, key), button);
                // A drawn change is said again with each new puzzle; a fixed one is not.
                for (int puzzle = 0; puzzle < 6; ++puzzle) {
                    exercise->control(ex::BottoneAvanti).setEnabled(true);
                    exercise->control(ex::BottoneAvanti).click();
                    checkSaid(key.isEmpty() ? locale : QString(), askedKey(*exercise, key), "new puzzle");
                }
                for (const QString& label : {u"Label3"_s, u"Label4"_s}) {
                    QTest::mouseClick(exercise->control(label).widget(), Qt::LeftButton);
                    checkSaid(locale, askedKey(*exercise, key), "instruction clicked");
                }
                QVERIFY(QTest::qWaitForWindowActive(exercise->window()));
                QTest::keyClick(exercise->window(), Qt::Key_H);
                checkSaid(locale, askedKey(*exercise, key), "H");
                exercise->control(ex::HearAgain).widget()->setFocus(Qt::TabFocusReason);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                checkSaid(locale, askedKey(*exercise, key), "speaker button");
                exercise->control(ex::mnuEsci).click();
            }

            // Entering a choice says its name once; moving inside it says nothing more.
            QWidget* colour = menu().control(u"Command7"_s).widget();
            for (const QPoint inside : {QPoint(4, 4), QPoint(8, 8), QPoint(12, 9)})
                QTest::mouseMove(colour, inside);
            QCoreApplication::processEvents();
            checkSaid(locale, u"Command7"_s, "pointer entered");
            menu().control(app::form_menu::Option1, 2).widget()->setFocus(Qt::TabFocusReason);
            checkSaid(locale, u"Option1(2)"_s, "focus reached");

            // Sounds off: the choices are still named, for a child who finds them
            // by ear; no instruction is said.
            menu().control(app::form_menu::Check1).click();
            said.clear();
            QTest::mouseMove(menu().window(), QPoint(1, 1));
            QTest::mouseMove(colour, QPoint(4, 4));
            checkSaid(locale, u"Command7"_s, "pointer entered, sounds off");
            menu().control(u"Command4"_s).click();
            QTest::keyClick(Screen::loadedScreens().front()->window(), Qt::Key_H);
            QVERIFY(said.isEmpty());
            Screen::loadedScreens().front()->control(ex::mnuEsci).click();
            menu().control(app::form_menu::Check1).click();
        }
    }

    // A screen reader names the choices itself: while AT-SPI says one runs,
    // the program's voice says no name, only what a screen reader does not
    // (praise); it follows the screen reader starting and stopping, and a
    // parent's choice overrides the bus either way.
    void namesAreLeftToAScreenReaderOnTheBus() {
        modLanguageSupport::MLSCurrentLanguage = u"Due"_s;
        Modulo1::SuoniAttivati = true;
        const auto namesSaid = [this] {
            said.clear();
            feedback::spoken_words::SayName(u"Picture1(0)"_s, u"big red heart"_s);
            return !said.isEmpty();
        };
        QVERIFY(namesSaid());  // nothing heard from the bus yet
        forms::followScreenReader();
        QTRY_VERIFY(forms::screenReaderSpeaks());
        QVERIFY(!namesSaid());
        feedback::spoken_words::Say(u"Praise1"_s);
        checkSaid(u"en"_s, u"Praise1"_s, "praise with a screen reader");
        for (const bool running : {false, true}) {
            accessibility.setScreenReaderEnabled(running);
            QTRY_COMPARE(forms::screenReaderSpeaks(), running);
            QCOMPARE(namesSaid(), !running);
        }
        for (const bool forced : {false, true}) {
            accessibility.setScreenReaderEnabled(!forced);
            forms::forceScreenReader(forced);
            QTest::qWait(100);  // the bus's word arrives, and changes nothing
            QCOMPARE(namesSaid(), !forced);
        }
        forms::forceScreenReader(std::nullopt);
        QTRY_VERIFY(!forms::screenReaderSpeaks());
        QVERIFY(namesSaid());
    }
};

QTEST_MAIN(SpokenWordsTest)
#include "tst_spoken_words.moc"
