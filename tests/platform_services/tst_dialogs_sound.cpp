// Message boxes answered from the keyboard, the system language of their buttons, and sound on a machine
// that may have no audio device at all.

#include "MessageBox.h"
#include "Process.h"
#include "Sound.h"
#include "Speech.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
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

// A short mono 8-bit PCM wave file: 4000 samples at 8000 a second.
QByteArray waveFile() {
    static const char header[] =
        "RIFF\xC4\x0F\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1F\0\0\x40\x1F\0\0\x01\0\x08\0"
        "data\xA0\x0F\0\0";
    return QByteArray(header, sizeof header - 1) + QByteArray(4000, '\x40');
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

class DialogsSoundTest : public QObject {
    Q_OBJECT

    bool checkedBox_ = false;

    // Answers the next real message box by pressing `key` on whatever has
    // the keyboard focus, after checking the box.
    void pressOnNextBox(Qt::Key key, const QString& expectedTitle, QMessageBox::Icon expectedIcon) {
        checkedBox_ = false;
        QTimer::singleShot(50, this, [this, key, expectedTitle, expectedIcon] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            QWidget* focused = QApplication::focusWidget();
            checkedBox_ = box->objectName() == u"MsgBox"_s && box->windowTitle() == expectedTitle &&
                          box->icon() == expectedIcon && focused && focused == box->defaultButton() &&
                          QApplication::activeWindow() == box;
            QTest::keyClick(focused ? focused : box, key);
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
        screen.show();
        screen.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&screen));
        const auto ask = [] {
            return platform::MsgBox(u"Uscire?"_s, MsgButtons::YesNo, MsgIcon::Question, u"Metamorfine"_s);
        };
        pressOnNextBox(Qt::Key_Return, u"Metamorfine"_s, QMessageBox::Question);
        QCOMPARE(ask(), MsgAnswer::Yes);
        QVERIFY(checkedBox_);
        pressOnNextBox(Qt::Key_Escape, u"Metamorfine"_s, QMessageBox::Question);
        QCOMPARE(ask(), MsgAnswer::No);
        QVERIFY(checkedBox_);
        pressOnNextBox(Qt::Key_Return, u"Metamorfine test"_s, QMessageBox::Critical);
        QCOMPARE(platform::MsgBox(u"Gi\u00E0 aperto"_s, MsgButtons::Ok, MsgIcon::Critical), MsgAnswer::Ok);
        QVERIFY(checkedBox_);
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

    // A sound, a broken file, a missing one and no path at all, and sentences:
    // each starts at once and plays or fails quietly while events run, also
    // where there is no audio device and the media plugin is missing (it is
    // looked for in the program folder, here an empty one).
    void soundsAndSpeechNeverBlockOrFail() {
        QTemporaryDir folder;
        platform::setProgramFolder(folder.path());
        const QString sound = folder.filePath(u"si1.wav"_s);
        const QString broken = folder.filePath(u"broken.wav"_s);
        QVERIFY(writeFile(sound, waveFile()));
        QVERIFY(writeFile(broken, "RIFF\x10\0\0\0WAVEjunk that is not a wave file"));
        QElapsedTimer clock;
        clock.start();
        for (int round = 0; round < 100; ++round)
            for (const QString& path : {sound, broken, folder.filePath(u"no.wav"_s), QString()}) {
                platform::PlaySoundAsync(path);
                platform::Speak(path, u"it"_s);
            }
        platform::StopSpeaking();
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QTest::qWait(1000);
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
