// Message boxes (answered by a responder, and real ones answered from the
// keyboard), the system language of their buttons, and sound on a machine
// that may have no audio device at all.

#include "platform/MessageBox.h"
#include "platform/Sound.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>
#include <iostream>
#include <string>

using namespace Qt::Literals::StringLiterals;
using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

// The test binary runs itself with this argument, under another locale.
constexpr char kPrintButtonTexts[] = "--print-button-texts";

int printButtonTexts()
{
    platform::installSystemTranslations();
    QMessageBox box(QMessageBox::Question, u"t"_s, u"m"_s, QMessageBox::Yes | QMessageBox::No);
    std::cout << qPrintable(box.button(QMessageBox::Yes)->text()) << '\n'
              << qPrintable(box.button(QMessageBox::No)->text()) << std::endl;
    return 0;
}

// A short mono 8-bit PCM wave file.
QByteArray waveFile()
{
    QByteArray samples(4000, '\0');
    for (qsizetype i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<char>((i * 16) % 256);
    QByteArray header;
    const auto u32 = [&header](quint32 value) {
        char bytes[4];
        qToLittleEndian(value, bytes);
        header.append(bytes, 4);
    };
    const auto u16 = [&header](quint16 value) {
        char bytes[2];
        qToLittleEndian(value, bytes);
        header.append(bytes, 2);
    };
    header.append("RIFF");
    u32(36 + samples.size());
    header.append("WAVEfmt ");
    u32(16);
    u16(1);     // PCM
    u16(1);     // mono
    u32(8000);  // samples per second
    u32(8000);  // bytes per second
    u16(1);     // bytes per frame
    u16(8);     // bits per sample
    header.append("data");
    u32(samples.size());
    return header + samples;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

int messagesLogged = 0;
QtMessageHandler previousHandler = nullptr;

void countingHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    ++messagesLogged;
    previousHandler(type, context, message);
}

}  // namespace

class DialogsSoundTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void responderSeesEveryBoxInsteadOfADialog();
    void realBoxIsFoundFocusedAndAnsweredFromKeyboard();
    void buttonsSpeakTheSystemLanguage();
    void soundsStartAtOnceAndNeverFail();

private:
    // Answers the next real message box by pressing `key` on whatever has
    // the keyboard focus, after checking the box.
    void pressOnNextBox(Qt::Key key, const QString& expectedTitle, QMessageBox::Icon expectedIcon);
    bool checkedBox_ = false;
};

void DialogsSoundTest::initTestCase()
{
    QGuiApplication::setApplicationDisplayName(u"Metamorfine test"_s);
}

void DialogsSoundTest::responderSeesEveryBoxInsteadOfADialog()
{
    QList<platform::MessageBoxRequest> seen;
    platform::setMessageBoxResponder([&seen](const platform::MessageBoxRequest& request) {
        seen.append(request);
        return request.buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    });
    QCOMPARE(platform::MsgBox(u"Uscire?"_s, MsgButtons::YesNo, MsgIcon::Question, u"Metamorfine"_s),
             MsgAnswer::No);
    QCOMPARE(platform::MsgBox(u"Nessun file"_s, MsgButtons::Ok, MsgIcon::None), MsgAnswer::Ok);
    QCOMPARE(platform::MsgBox(QString(), MsgButtons::Ok, MsgIcon::Critical, u""_s), MsgAnswer::Ok);
    platform::setMessageBoxResponder({});
    QVERIFY(QApplication::topLevelWidgets().isEmpty());

    QCOMPARE(seen.size(), 3);
    QCOMPARE(seen[0].message, u"Uscire?"_s);
    QCOMPARE(seen[0].title, u"Metamorfine"_s);
    QCOMPARE(seen[0].buttons, MsgButtons::YesNo);
    QCOMPARE(seen[0].icon, MsgIcon::Question);
    // No title of its own (the real box shows the application's) and an
    // empty title stay apart.
    QVERIFY(seen[1].title.isNull());
    QCOMPARE(seen[1].icon, MsgIcon::None);
    QVERIFY(!seen[2].title.isNull());
    QVERIFY(seen[2].title.isEmpty());
    QCOMPARE(seen[2].icon, MsgIcon::Critical);
}

void DialogsSoundTest::pressOnNextBox(Qt::Key key, const QString& expectedTitle,
                                      QMessageBox::Icon expectedIcon)
{
    checkedBox_ = false;
    QTimer::singleShot(50, this, [this, key, expectedTitle, expectedIcon] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        QWidget* focused = QApplication::focusWidget();
        checkedBox_ = box->objectName() == u"MsgBox"_s && box->windowTitle() == expectedTitle
                      && box->icon() == expectedIcon && focused && focused->window() == box
                      && focused == box->defaultButton()
                      && QApplication::activeWindow() == box;
        // Enter goes to the focused widget, as from a keyboard.
        QTest::keyClick(focused ? focused : box, key);
        if (box->isVisible())
            box->done(0);
    });
}

void DialogsSoundTest::realBoxIsFoundFocusedAndAnsweredFromKeyboard()
{
    // A screen of the program is active when a box comes; the box takes the
    // keyboard from it.
    QWidget screen;
    screen.setFocusPolicy(Qt::StrongFocus);
    screen.show();
    screen.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&screen));
    pressOnNextBox(Qt::Key_Return, u"Metamorfine"_s, QMessageBox::Question);
    QCOMPARE(platform::MsgBox(u"Uscire?"_s, MsgButtons::YesNo, MsgIcon::Question, u"Metamorfine"_s),
             MsgAnswer::Yes);
    QVERIFY(checkedBox_);

    pressOnNextBox(Qt::Key_Escape, u"Metamorfine"_s, QMessageBox::Question);
    QCOMPARE(platform::MsgBox(u"Uscire?"_s, MsgButtons::YesNo, MsgIcon::Question, u"Metamorfine"_s),
             MsgAnswer::No);
    QVERIFY(checkedBox_);

    pressOnNextBox(Qt::Key_Return, u"Metamorfine test"_s, QMessageBox::Critical);
    QCOMPARE(platform::MsgBox(u"Gi\u00E0 aperto"_s, MsgButtons::Ok, MsgIcon::Critical), MsgAnswer::Ok);
    QVERIFY(checkedBox_);
}

void DialogsSoundTest::buttonsSpeakTheSystemLanguage()
{
    const auto buttonTexts = [](const QString& locale, const QString& language) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"LC_ALL"_s, locale);
        environment.insert(u"LANG"_s, locale);
        environment.insert(u"LANGUAGE"_s, language);
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kPrintButtonTexts)});
        child.waitForFinished(20000);
        return QString::fromUtf8(child.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    };
    const QStringList english = buttonTexts(u"C"_s, u"en"_s);
    QCOMPARE(english, QStringList({u"&Yes"_s, u"&No"_s}));
    const QStringList italian = buttonTexts(u"it_IT.UTF-8"_s, u"it"_s);
    const QStringList german = buttonTexts(u"de_DE.UTF-8"_s, u"de"_s);
    QCOMPARE(italian.size(), 2);
    QCOMPARE(german.size(), 2);
    QVERIFY2(italian != english && german != english && italian != german,
             qPrintable(italian.join(u' ') + u" / "_s + german.join(u' ')));
}

void DialogsSoundTest::soundsStartAtOnceAndNeverFail()
{
    QTemporaryDir folder;
    const QString sound = folder.filePath(u"si1.wav"_s);
    const QString broken = folder.filePath(u"broken.wav"_s);
    const QString missing = folder.filePath(u"suoni/no.wav"_s);
    QVERIFY(writeFile(sound, waveFile()));
    QVERIFY(writeFile(broken, "RIFF\x10\0\0\0WAVEjunk that is not a wave file"));

    QStringList started;
    platform::setSoundObserver([&started](const QString& path) { started.append(path); });
    const QStringList paths = {sound, missing, broken, QString(), sound};
    messagesLogged = 0;
    previousHandler = qInstallMessageHandler(countingHandler);
    QElapsedTimer clock;
    clock.start();
    for (int round = 0; round < 100; ++round)
        for (const QString& path : paths)
            platform::PlaySoundAsync(path);
    const qint64 elapsed = clock.elapsed();
    // Let the sounds load and play (or fail) for a while.
    QTest::qWait(1500);
    platform::PlaySoundAsync(sound);
    QTest::qWait(200);
    qInstallMessageHandler(previousHandler);
    platform::setSoundObserver({});

    QVERIFY2(elapsed < 3000, qPrintable(QString::number(elapsed)));
    QCOMPARE(started.size(), 501);
    QCOMPARE(started.mid(0, 5), paths);
    QCOMPARE(started.last(), sound);
    // A few lines about a missing audio device may come once, not per sound.
    QVERIFY2(messagesLogged < 10, qPrintable(QString::number(messagesLogged)));
}

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc == 2 && std::string(argv[1]) == kPrintButtonTexts)
        return printButtonTexts();
    DialogsSoundTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dialogs_sound.moc"
