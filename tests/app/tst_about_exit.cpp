// The about box and the exit question.
#include "app/Modulo1.h"
#include "language/modLanguageSupport.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "tests/app/ProgramFolderFixture.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using platform::MsgAnswer;

class TestAboutExit : public QObject {
    Q_OBJECT

    ProgramFolderFixture folder;
    MsgAnswer answer = MsgAnswer::No;
    int ends = 0;

    QString aboutMessage() {
        folder.boxes.clear();
        Modulo1::MostraInformazioni();
        if (folder.boxes.size() != 1)
            return u"<%1 boxes>"_s.arg(folder.boxes.size());
        return folder.boxes.first().message;
    }

private Q_SLOTS:
    void initTestCase() {
        folder.answer = [this] { return answer; };
        platform::setEndProgramHook([this] { ++ends; });
        modLanguageSupport::MLSCurrentLanguage = u"Prova"_s;
    }

    void aboutBoxShowsTheCreditsAndTheLanguageLines() {
        folder.removeLanguage(u"Prova"_s);
        const QString credits = aboutMessage();
        const platform::MessageBoxRequest box = folder.boxes.first();
        QCOMPARE(box.title, u"Metamorfine"_s);
        QCOMPARE(box.icon, platform::MsgIcon::Information);
        QCOMPARE(box.buttons, platform::MsgButtons::Ok);
        QCOMPARE(credits.count(u"\r\n"_s), 3);
        QVERIFY(!credits.endsWith(u"\n"_s));
        QVERIFY(!credits.contains(u"http"_s) && !credits.contains(u'@'));

        const QString separator = u"\r\n-----------------------\r\n"_s;
        folder.writeLanguage(u"Prova"_s, u"[Strings]\r\n9996=\"\"\r\n0003=\"Esci?\"\r\n"_s);
        QCOMPARE(aboutMessage(), credits);

        folder.writeLanguage(u"Prova"_s, u"[Strings]\r\n9998=\"terza\"\r\n"_s);
        QCOMPARE(aboutMessage(), credits % separator % u"terza\r\n"_s);

        folder.writeLanguage(u"Prova"_s, u"[Strings]\r\n9997=\"   \"\r\n9999=\"quarta\"\r\n"_s);
        QCOMPARE(aboutMessage(), credits % separator % u"   \r\nquarta\r\n"_s);

        folder.writeLanguage(u"Prova"_s,
                             u"[Strings]\r\n9999=\"d\"\r\n9997=\"b\"\r\n9996=\"a\"\r\n9998=\"c\"\r\n"_s);
        QCOMPARE(aboutMessage(), credits % separator % u"a\r\nb\r\nc\r\nd\r\n"_s);
    }

    void exitQuestionEndsOnlyOnYes() {
        folder.writeLanguage(u"Prova"_s, u"[Strings]\r\n0003=\"Vuoi uscire?\"\r\n"_s);
        folder.boxes.clear();
        answer = MsgAnswer::No;
        Modulo1::ConfermaUscita();
        QCOMPARE(ends, 0);
        QCOMPARE(folder.boxes.size(), 1);
        const platform::MessageBoxRequest box = folder.boxes.first();
        QCOMPARE(box.message, u"Vuoi uscire?"_s);
        QCOMPARE(box.title, u"Metamorfine"_s);
        QCOMPARE(box.icon, platform::MsgIcon::Question);
        QCOMPARE(box.buttons, platform::MsgButtons::YesNo);

        answer = MsgAnswer::Yes;
        Modulo1::ConfermaUscita();
        QCOMPARE(ends, 1);

        folder.removeLanguage(u"Prova"_s);
        folder.boxes.clear();
        answer = MsgAnswer::No;
        Modulo1::ConfermaUscita();
        QCOMPARE(folder.boxes.size(), 1);
        QVERIFY(folder.boxes.first().message.isEmpty());
        QCOMPARE(ends, 1);
    }
};

QTEST_MAIN(TestAboutExit)
#include "tst_about_exit.moc"
