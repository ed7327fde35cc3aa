// Message boxes answered from the keyboard, the system language of their buttons, and sound and speech
// where the media plugin is missing.

#include "DataFiles.h"
#include "FocusRing.h"
#include "MessageBox.h"
#include "Sound.h"
#include "Speech.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <iostream>

using namespace Qt::Literals::StringLiterals;
using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

// The test binary runs itself with this argument, under another locale.
const QString kPrintButtonTexts = u"--print-button-texts"_s;

int printButtonTexts() {
    platform::installSystemTranslations();
    QMessageBox box(QMessageBox::Question, u"t"_s, u"m"_s, QMessageBox::Yes | QMessageBox::No);
    std::cout << qPrintable(box.button(QMessageBox::Yes)->text()) << '\n'
              << qPrintable(box.button(QMessageBox::No)->text()) << std::endl;
    return 0;
}

}  // namespace

class DialogsSoundTest : public QObject {
    Q_OBJECT

    bool checkedBox_ = false;

    // Answers the next real message box by pressing `key` on whatever has
    // the keyboard focus, once the box is shown and active, after checking it.
    // Once a key has been used, a focus ring surrounds the focused button.
    void pressOnNextBox(Qt::Key key, const QString& expectedTitle, QMessageBox::Icon expectedIcon, bool ringShown) {
        checkedBox_ = false;
        QTimer::singleShot(10, this, [=, this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || QApplication::activeWindow() != box || !QApplication::focusWidget())
                return pressOnNextBox(key, expectedTitle, expectedIcon, ringShown);  // not up yet: look again
            QWidget* focused = QApplication::focusWidget();
            const auto* ring = box->findChild<QWidget*>(QString::fromLatin1(platform::kFocusRingName));
            const bool ringAround =
                ring && ring->isVisible() &&
                ring->geometry().contains(QRect(focused->mapTo(box, QPoint()), focused->size()).adjusted(-4, -4, 4, 4));
            checkedBox_ = box->objectName() == u"MsgBox"_s && box->windowTitle() == expectedTitle &&
                          box->icon() == expectedIcon && focused == box->defaultButton() && ringAround == ringShown;
            QTest::keyClick(focused, key);
            if (box->isVisible())
                box->done(0);
        });
    }

private Q_SLOTS:
    void initTestCase() { QGuiApplication::setApplicationDisplayName(u"Metamorfine test"_s); }

    void realBoxIsFocusedAndAnsweredFromKeyboard() {
        // A screen of the program is active when a box comes; the box takes
        // the keyboard from it.
        QWidget screen;
        screen.setFocusPolicy(Qt::StrongFocus);
        new platform::FocusRing(&screen, &screen);
        screen.show();
        screen.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&screen));
        const auto ask = [] {
            return platform::MsgBox(u"Uscire?"_s, MsgButtons::YesNo, MsgIcon::Question, u"Metamorfine"_s);
        };
        pressOnNextBox(Qt::Key_Return, u"Metamorfine"_s, QMessageBox::Question, false);
        QVERIFY(ask() == MsgAnswer::Yes && checkedBox_);
        pressOnNextBox(Qt::Key_Escape, u"Metamorfine"_s, QMessageBox::Question, true);
        QVERIFY(ask() == MsgAnswer::No && checkedBox_);
        QTest::mouseClick(&screen, Qt::LeftButton);
        pressOnNextBox(Qt::Key_Return, u"Metamorfine test"_s, QMessageBox::Critical, false);
        QVERIFY(platform::MsgBox(u"Gi\u00E0 aperto"_s, MsgButtons::Ok, MsgIcon::Critical) == MsgAnswer::Ok &&
                checkedBox_);
    }

    void buttonsSpeakTheSystemLanguage() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"LC_ALL"_s, u"it_IT.UTF-8"_s);
        environment.insert(u"LANG"_s, u"it_IT.UTF-8"_s);
        environment.insert(u"LANGUAGE"_s, u"it"_s);
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {kPrintButtonTexts});
        QVERIFY(child.waitForFinished(20000));
        const QStringList italian = QString::fromUtf8(child.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        // Qt's own texts are the English ones.
        QCOMPARE(italian.size(), 2);
        QVERIFY2(italian != QStringList({u"&Yes"_s, u"&No"_s}), qPrintable(italian.join(u' ')));
    }

    // Sounds and sentences where the media plugin is missing (it is looked
    // for in the program folder, here an empty one): silence, at once.
    void soundsAndSpeechWithoutPluginAreSilentAtOnce() {
        QTemporaryDir folder;
        platform::setProgramFolder(folder.path());
        QElapsedTimer clock;
        clock.start();
        for (int round = 0; round < 100; ++round) {
            platform::PlaySoundAsync(folder.filePath(u"si1.wav"_s));
            platform::Speak(u"Trova la figura"_s, u"it"_s);
        }
        platform::StopSpeaking();
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        platform::setProgramFolder({});
    }
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc == 2 && QString::fromLocal8Bit(argv[1]) == kPrintButtonTexts)
        return printButtonTexts();
    DialogsSoundTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dialogs_sound.moc"
