// The children a parent makes in the settings dialog (added, changed,
// removed after a question, with their record), the start screen's question
// of who is playing, answered by the mouse and a switch, and
// each child's level kept apart from the others' and from the settings file.
#include "FormAvvio.h"
#include "FormChiGioca.h"
#include "InputDispatcher.h"
#include "Kiosk.h"
#include "MessageBox.h"
#include "Players.h"
#include "ProgramFolderFixture.h"
#include "RecordPage.h"
#include "Recorder.h"
#include "Screen.h"
#include "ScreenInput.h"
#include "Screens.h"
#include "Settings.h"
#include "SettingsDialog.h"
#include "SharedState.h"
#include "SwitchScan.h"
#include "modLanguageSupport.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using screen_input::whenOpens;

namespace {

// Adds (row -1) or changes the child of `row` through the child dialog.
void editChild(app::SettingsDialog& dialog, int row, const QString& name, int picture) {
    dialog.findChild<QListWidget*>(u"Children"_s)->setCurrentRow(row);
    whenOpens<app::ChildDialog>([name, picture](app::ChildDialog& child) {
        child.findChild<QLineEdit*>(u"ChildName"_s)->setText(name);
        child.findChild<QListWidget*>(u"ChildPictures"_s)->setCurrentRow(picture);
        child.accept();
    });
    dialog.findChild<QPushButton*>(row < 0 ? u"AddChild"_s : u"RenameChild"_s)->click();
}

}  // namespace

class TestChildren : public QObject {
    Q_OBJECT

    ProgramFolderFixture folder;
    record::Store store;  // the record in the test's folder

    QStringList children() {
        QStringList found;
        for (const record::Child& child : store.children())
            found.append(child.name + u':' + QString::number(child.picture) + u':' + QString::number(child.level));
        return found;
    }

private Q_SLOTS:
    void initTestCase() {
        QCOMPARE(store.path(), folder.path(u"metamorfine/record.sqlite"_s));
        QVERIFY(store.open());
        modLanguageSupport::MLSCurrentLanguage = u"English"_s;
    }

    void aParentAddsChangesAndRemovesChildren() {
        whenOpens<app::SettingsDialog>([](app::SettingsDialog& dialog) {
            editChild(dialog, -1, u"Zoë, Anna"_s, 42);
            editChild(dialog, -1, u"Bruno"_s, 0);
            editChild(dialog, 1, u"Bruno B."_s, 79);
            dialog.accept();
        });
        QVERIFY(app::OpenSettings(nullptr, record::filePath()));
        QCOMPARE(children(), (QStringList{u"Zoë, Anna:42:0"_s, u"Bruno B.:79:0"_s}));
        // Removing asks first; Yes takes the child's record away too.
        QVERIFY(store.addPuzzle({.child = store.children().front().id, .exercise = 1, .level = 2}));
        QVERIFY(store.addPuzzle({.child = store.children().back().id, .exercise = 2, .level = 2}));
        folder.answer = forms::MsgAnswer::No;
        whenOpens<app::SettingsDialog>([this](app::SettingsDialog& dialog) {
            dialog.findChild<QListWidget*>(u"Children"_s)->setCurrentRow(0);
            dialog.findChild<QPushButton*>(u"RemoveChild"_s)->click();
            QCOMPARE(dialog.children().size(), std::size_t(2));
            folder.answer = forms::MsgAnswer::Yes;
            dialog.findChild<QPushButton*>(u"RemoveChild"_s)->click();
            QCOMPARE(dialog.children().size(), std::size_t(1));
            dialog.accept();
        });
        QVERIFY(app::OpenSettings(nullptr, record::filePath()));
        folder.answer = forms::MsgAnswer::Ok;
        QCOMPARE(folder.boxes.size(), 2);
        QCOMPARE(folder.boxes.back().buttons, forms::MsgButtons::YesNo);
        QCOMPARE(children(), QStringList{u"Bruno B.:79:0"_s});
        QSqlQuery query(store.database());
        QVERIFY(store.run(query, "test", u"SELECT exercise FROM puzzles"_s) && query.next());
        QCOMPARE(query.value(0).toInt(), 2);
        QVERIFY(!query.next());
    }

    // With children the start button asks who plays: the mouse and a switch
    // pick the child chosen (the keys: e2e_record), whose name the button
    // tells the screen reader. A growing level is each child's own, and the
    // settings file's stays nobody's in particular; a fixed level is
    // everyone's. In a classroom a child who walks away leaves the question
    // of who is playing to the next one; nobody in particular plays on as
    // before.
    void childrenPlayInTurn() {
        using namespace std::chrono;
        QVERIFY(store.deleteRecord(std::nullopt));
        for (const record::Child& child : store.children())
            QVERIFY(store.removeChild(child.id));
        for (const QString& name : {u"Ada"_s, u"Bea"_s, u"Cy"_s})
            QVERIFY(store.addChild({.name = name, .picture = 5}));
        // The players of a classroom, each recorded, for this test.
        record::Recorder recorder{record::filePath()};
        app::Players players{&recorder};
        app::setPlayers(&players);
        const auto noPlayers = qScopeGuard([] { app::setPlayers(nullptr); });
        forms::Screen& who = app::screens::FormChiGioca();
        const auto ask = [&who] {
            app::screens::FormAvvio().Show();
            app::screens::FormAvvio().control(app::form_avvio::BottoneAvvio).click();
            QVERIFY(who.isLoaded() && who.window()->isVisible());
            QVERIFY(!app::screens::FormAvvio().isLoaded());
            for (int index = 0; index < app::kMaxChildren; ++index)
                QCOMPARE(who.control(app::form_chi_gioca::ChildButton, index).widget()->isVisibleTo(who.window()),
                         index < 3);
            QCOMPARE(who.control(app::form_chi_gioca::ChildButton, 1).widget()->accessibleName(), u"Bea"_s);
        };
        const auto chosen = [&players, &who]() -> QString {
            if (!app::screens::FormMenu().isLoaded() || who.isLoaded())
                return u"(not on the menu)"_s;
            return players.current().child().name;
        };
        ask();
        QTest::mouseClick(who.control(app::form_chi_gioca::ChildButton, 0).widget(), Qt::LeftButton);
        QCOMPARE(chosen(), u"Ada"_s);
        forms::InputDispatcher::instance().configureScan(settings::Scan::Step);
        ask();
        QCOMPARE(who.scan().reachableChoices().size(), std::size_t(3));
        who.scan().next();
        who.scan().next();
        QCOMPARE(who.scan().highlighted()->accessibleName(), u"Cy"_s);
        who.scan().choose();
        QCOMPARE(chosen(), u"Cy"_s);
        forms::InputDispatcher::instance().configureScan(settings::Scan::Off);
        app::screens::FormMenu().Unload();

        settings::Settings grows;
        grows.level = settings::Level::Grows;
        grows.reachedLevel = 1;
        QVERIFY(settings::write(grows));
        settings::current() = grows;
        QCOMPARE(players.reload().size(), std::size_t(3));
        for (const auto& [child, level] : {std::pair(0, 3), std::pair(1, 1)}) {
            players.choose(players.children()[child]);
            QCOMPARE(settings::puzzleLevel(), settings::kDefaultLevel);
            app::chooseLevel(level);
        }
        recorder.flush();
        players.reload();
        players.choose(players.children()[0]);
        QCOMPARE(settings::puzzleLevel(), 3);
        QCOMPARE(children(), (QStringList{u"Ada:5:3"_s, u"Bea:5:1"_s, u"Cy:5:0"_s}));
        QCOMPARE(settings::read().reachedLevel, 1);
        // Nobody in particular grows from, and into, the settings file.
        players.chooseNobody();
        QCOMPARE(settings::puzzleLevel(), 1);
        app::chooseLevel(2);
        QCOMPARE(settings::read().reachedLevel, 2);
        QCOMPARE(children(), (QStringList{u"Ada:5:3"_s, u"Bea:5:1"_s, u"Cy:5:0"_s}));
        // A fixed level is the same for every child.
        settings::current().level = settings::Level::Three;
        players.choose(players.children()[1]);
        QCOMPARE(settings::puzzleLevel(), 3);
        settings::current() = settings::Settings{};

        app::screens::FormMenu().Show();
        const app::NewChildWatch watch(300ms);
        QTRY_VERIFY(app::screens::FormChiGioca().isLoaded());
        QVERIFY(!app::screens::FormMenu().isLoaded());
        QVERIFY(!players.current().isChild());
        app::screens::FormChiGioca().control(app::form_chi_gioca::ChildButton, 0).click();
        QCOMPARE(chosen(), u"Ada"_s);
        players.chooseNobody();
        QTest::qWait(600);
        QVERIFY(app::screens::FormMenu().isLoaded());
        QVERIFY(!app::screens::FormChiGioca().isLoaded());
        app::screens::FormMenu().Unload();
    }

    // The page shows the chosen child's numbers in its tables (their sums:
    // tst_record); deleting asks first, and No keeps them.
    void theRecordPageShowsEachChildAndDeletesAfterAQuestion() {
        const std::vector<record::Child> both = store.children();
        QCOMPARE(both.size(), std::size_t(3));
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        for (int i = 0; i < 6; ++i) {
            const qint64 id =
                store.addPuzzle({.child = both[0].id, .exercise = 6, .level = 3, .startedMs = now - 2000}).value_or(0);
            QVERIFY(store.addAnswer(id, {.picture = 1, .atMs = now - 1000, .right = false}));
            QVERIFY(store.addAnswer(id, {.picture = 2, .atMs = now, .right = true}));
        }
        QVERIFY(store.addPuzzle({.child = both[1].id, .exercise = 2, .level = 1, .startedMs = now}));
        app::RecordPage page(record::filePath());
        QCOMPARE(page.daysTable()->rowCount(), 1);
        QCOMPARE(page.daysTable()->item(0, 1)->text(), u"6"_s);
        QCOMPARE(page.exercisesTable()->rowCount(), 1);
        QVERIFY(page.exercisesTable()->item(0, 0)->text().startsWith(u"6. "_s));
        QCOMPARE(page.exercisesTable()->item(0, 4)->text(), u"0 %"_s);
        QCOMPARE(page.weeksTable()->item(0, 2)->text(), u"6"_s);
        QVERIFY(page.helpLabel()->text().contains(page.exercisesTable()->item(0, 0)->text().mid(3)));
        page.showChild(1);
        QCOMPARE(page.exercisesTable()->item(0, 0)->text().left(2), u"2."_s);
        page.showChild(0);
        for (const auto& [answer, left] : {std::pair(forms::MsgAnswer::No, 1), std::pair(forms::MsgAnswer::Yes, 0)}) {
            folder.answer = answer;
            page.findChild<QPushButton*>(u"DeleteChild"_s)->click();
            QCOMPARE(page.exercisesTable()->rowCount(), left);
        }
        page.showChild(1);
        QCOMPARE(page.exercisesTable()->rowCount(), 1);
        page.findChild<QPushButton*>(u"DeleteAll"_s)->click();
        QCOMPARE(page.exercisesTable()->rowCount(), 0);
        folder.answer = forms::MsgAnswer::Ok;
        QCOMPARE(children().size(), 3);
    }
};

QTEST_MAIN(TestChildren)
#include "tst_children.moc"
