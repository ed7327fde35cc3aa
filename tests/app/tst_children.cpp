// The children a parent makes in the settings dialog (added, changed,
// removed after a question, with their record), the start screen's question
// of who is playing, answered by the mouse, the keyboard and a switch, and
// each child's level kept apart from the others' and from the settings file.
#include "FormChiGioca.h"
#include "Kiosk.h"
#include "MessageBox.h"
#include "Players.h"
#include "ProgramFolderFixture.h"
#include "RecordPage.h"
#include "Recorder.h"
#include "Screen.h"
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
#include <QSqlQuery>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace {

// Runs `answer` on the next modal dialog of type T, once it is open.
template <typename T>
void whenOpens(std::function<void(T&)> answer, int tries = 200) {
    QTimer::singleShot(10, [answer = std::move(answer), tries]() mutable {
        if (auto* dialog = dynamic_cast<T*>(QApplication::activeModalWidget()))
            answer(*dialog);
        else if (tries > 0)
            whenOpens<T>(std::move(answer), tries - 1);
    });
}

// Adds (row -1) or changes the child of `row` through the child dialog.
void editChild(app::SettingsDialog& dialog, int row, const QString& name, int picture) {
    auto* list = dialog.findChild<QListWidget*>(u"Children"_s);
    list->setCurrentRow(row);
    whenOpens<app::ChildDialog>([name, picture](app::ChildDialog& child) {
        child.findChild<QLineEdit*>(u"ChildName"_s)->setText(name);
        child.findChild<QListWidget*>(u"ChildPictures"_s)->setCurrentRow(picture);
        child.accept();
    });
    dialog.findChild<QPushButton*>(row < 0 ? u"AddChild"_s : u"RenameChild"_s)->click();
}

void removeChild(app::SettingsDialog& dialog, int row) {
    dialog.findChild<QListWidget*>(u"Children"_s)->setCurrentRow(row);
    dialog.findChild<QPushButton*>(u"RemoveChild"_s)->click();
}

QStringList childrenIn(const QString& path) {
    record::Store store(path);
    QStringList found;
    if (store.open())
        for (const record::Child& child : store.children())
            found.append(child.name + u':' + QString::number(child.picture) + u':' + QString::number(child.level));
    return found;
}

}  // namespace

class TestChildren : public QObject {
    Q_OBJECT

    ProgramFolderFixture folder;
    QString recordPath;

private Q_SLOTS:
    void initTestCase() {
        recordPath = folder.folder.filePath(u"metamorfine/record.sqlite"_s);
        QCOMPARE(record::filePath(), recordPath);
        modLanguageSupport::MLSCurrentLanguage = u"English"_s;
    }

    void aParentAddsChangesAndRemovesChildren() {
        whenOpens<app::SettingsDialog>([](app::SettingsDialog& dialog) {
            editChild(dialog, -1, u"Zoë, Anna"_s, 42);
            editChild(dialog, -1, u"Bruno"_s, 0);
            editChild(dialog, 1, u"Bruno B."_s, 79);
            dialog.accept();
        });
        QVERIFY(app::OpenSettings(nullptr, recordPath));
        QCOMPARE(childrenIn(recordPath), (QStringList{u"Zoë, Anna:42:0"_s, u"Bruno B.:79:0"_s}));
        // Cancel keeps the children as they were.
        whenOpens<app::SettingsDialog>([](app::SettingsDialog& dialog) {
            editChild(dialog, -1, u"Carla"_s, 3);
            dialog.reject();
        });
        QVERIFY(app::OpenSettings(nullptr, recordPath));
        QCOMPARE(childrenIn(recordPath).size(), 2);
        // Removing asks first; Yes takes the child's record away too.
        qint64 zoe = 0;
        {
            record::Store store(recordPath);
            QVERIFY(store.open());
            zoe = store.children().front().id;
            QVERIFY(store.addPuzzle({.child = zoe, .exercise = 1, .level = 2}));
            QVERIFY(store.addPuzzle({.child = store.children().back().id, .exercise = 2, .level = 2}));
        }
        folder.answer = forms::MsgAnswer::No;
        whenOpens<app::SettingsDialog>([this](app::SettingsDialog& dialog) {
            removeChild(dialog, 0);
            QCOMPARE(dialog.children().size(), std::size_t(2));
            folder.answer = forms::MsgAnswer::Yes;
            removeChild(dialog, 0);
            QCOMPARE(dialog.children().size(), std::size_t(1));
            dialog.accept();
        });
        QVERIFY(app::OpenSettings(nullptr, recordPath));
        folder.answer = forms::MsgAnswer::Ok;
        QCOMPARE(folder.boxes.size(), 2);
        QCOMPARE(folder.boxes.back().buttons, forms::MsgButtons::YesNo);
        QCOMPARE(childrenIn(recordPath), QStringList{u"Bruno B.:79:0"_s});
        record::Store store(recordPath);
        QVERIFY(store.open());
        QSqlQuery query(store.database());
        QVERIFY(store.run(query, "test", u"SELECT exercise FROM puzzles"_s) && query.next());
        QCOMPARE(query.value(0).toInt(), 2);
        QVERIFY(!query.next());
    }

    // With children the start button asks who plays: each way of choosing
    // picks the child chosen, whose name the button tells the screen reader.
    void theStartScreenAsksWhoPlays() {
        {
            record::Store store(recordPath);
            QVERIFY(store.open());
            QVERIFY(store.deleteRecord(std::nullopt));
            for (const record::Child& child : store.children())
                QVERIFY(store.removeChild(child.id));
            for (const QString& name : {u"Ada"_s, u"Bea"_s, u"Cy"_s})
                QVERIFY(store.addChild({.name = name, .picture = 5}));
        }
        record::Recorder recorder(recordPath);
        app::Players players(&recorder);
        app::setPlayers(&players);
        const auto ask = [] {
            app::screens::FormAvvio().Show();
            app::screens::FormAvvio().control(u"BottoneAvvio"_s).click();
            forms::Screen& who = app::screens::FormChiGioca();
            QVERIFY(who.isLoaded());
            QVERIFY(who.window()->isVisible());
            QVERIFY(!app::screens::FormAvvio().isLoaded());
            for (int index = 0; index < app::kMaxChildren; ++index)
                QCOMPARE(who.control(u"ChildButton"_s, index).widget()->isVisibleTo(who.window()), index < 3);
            QCOMPARE(who.control(u"ChildButton"_s, 1).widget()->accessibleName(), u"Bea"_s);
        };
        const auto chosen = [&players]() -> QString {
            if (!app::screens::FormMenu().isLoaded() || app::screens::FormChiGioca().isLoaded())
                return u"(not on the menu)"_s;
            return players.current().child().name;
        };
        ask();
        QTest::mouseClick(app::screens::FormChiGioca().control(u"ChildButton"_s, 0).widget(), Qt::LeftButton);
        QCOMPARE(chosen(), u"Ada"_s);
        ask();
        QWidget* window = app::screens::FormChiGioca().window();
        QTest::keyClick(window->focusWidget(), Qt::Key_Right);
        QTest::keyClick(window->focusWidget(), Qt::Key_Return);
        QCOMPARE(chosen(), u"Bea"_s);
        forms::switch_scan::configure(settings::Scan::Step);
        ask();
        forms::SwitchScan& scan = app::screens::FormChiGioca().scan();
        QCOMPARE(scan.reachableChoices().size(), std::size_t(3));
        scan.next();
        scan.next();
        QCOMPARE(scan.highlighted()->accessibleName(), u"Cy"_s);
        scan.choose();
        QCOMPARE(chosen(), u"Cy"_s);
        forms::switch_scan::configure(settings::Scan::Off);
        // Without children the start button leads to the menu, nobody in particular playing.
        {
            record::Store store(recordPath);
            QVERIFY(store.open());
            for (const record::Child& child : store.children())
                QVERIFY(store.removeChild(child.id));
        }
        app::screens::FormMenu().Unload();
        app::screens::FormAvvio().Show();
        app::screens::FormAvvio().control(u"BottoneAvvio"_s).click();
        QVERIFY(!app::screens::FormChiGioca().isLoaded());
        QVERIFY(!players.current().isChild());
        app::screens::FormMenu().Unload();
        app::setPlayers(nullptr);
    }

    // A growing level is each child's own, and the settings file's stays
    // nobody's in particular; a fixed level is everyone's.
    void eachChildKeepsTheirLevel() {
        record::Recorder recorder(recordPath);
        app::Players players(&recorder);
        app::setPlayers(&players);
        {
            record::Store store(recordPath);
            QVERIFY(store.open());
            QVERIFY(store.addChild({.name = u"Ada"_s}) && store.addChild({.name = u"Bea"_s}));
        }
        settings::Settings grows;
        grows.level = settings::Level::Grows;
        grows.reachedLevel = 1;
        QVERIFY(settings::write(grows));
        settings::current() = grows;
        QCOMPARE(players.reload().size(), std::size_t(2));
        players.choose(players.children()[0]);
        QCOMPARE(settings::puzzleLevel(), settings::kDefaultLevel);
        app::chooseLevel(3);
        players.choose(players.children()[1]);
        QCOMPARE(settings::puzzleLevel(), settings::kDefaultLevel);
        app::chooseLevel(1);
        recorder.flush();
        players.reload();
        players.choose(players.children()[0]);
        QCOMPARE(settings::puzzleLevel(), 3);
        QCOMPARE(childrenIn(recordPath), (QStringList{u"Ada:0:3"_s, u"Bea:0:1"_s}));
        QCOMPARE(settings::read().reachedLevel, 1);
        // Nobody in particular grows from, and into, the settings file.
        players.chooseNobody();
        QCOMPARE(settings::puzzleLevel(), 1);
        app::chooseLevel(2);
        QCOMPARE(settings::read().reachedLevel, 2);
        QCOMPARE(childrenIn(recordPath), (QStringList{u"Ada:0:3"_s, u"Bea:0:1"_s}));
        // A fixed level is the same for every child.
        settings::current().level = settings::Level::Three;
        players.choose(players.children()[1]);
        QCOMPARE(settings::puzzleLevel(), 3);
        settings::current() = settings::Settings{};
        app::setPlayers(nullptr);
    }

    // In a classroom a child who walks away leaves the question of who is
    // playing to the next one; nobody in particular plays on as before.
    void aChildGoneLeavesTheQuestionToTheNext() {
        using namespace std::chrono;
        record::Recorder recorder(recordPath);
        app::Players players(&recorder);
        app::setPlayers(&players);
        QCOMPARE(players.reload().size(), std::size_t(2));
        players.choose(players.children()[1]);
        app::screens::FormMenu().Show();
        {
            const app::NewChildWatch watch(300ms);
            QTRY_VERIFY(app::screens::FormChiGioca().isLoaded());
            QVERIFY(!app::screens::FormMenu().isLoaded());
            QVERIFY(!players.current().isChild());
            app::screens::FormChiGioca().control(u"ChildButton"_s, 0).click();
            QVERIFY(app::screens::FormMenu().isLoaded());
            QCOMPARE(players.current().child().name, u"Ada"_s);
            players.chooseNobody();
            QTest::qWait(600);
            QVERIFY(app::screens::FormMenu().isLoaded());
            QVERIFY(!app::screens::FormChiGioca().isLoaded());
        }
        app::screens::FormMenu().Unload();
        app::setPlayers(nullptr);
    }

    // The page shows the chosen child's numbers in its tables; deleting asks
    // first, and No keeps them.
    void theRecordPageShowsEachChildAndDeletesAfterAQuestion() {
        {
            record::Store store(recordPath);
            QVERIFY(store.open());
            const std::vector<record::Child> children = store.children();
            QCOMPARE(children.size(), std::size_t(2));
            const qint64 now = QDateTime::currentMSecsSinceEpoch();
            for (int i = 0; i < 6; ++i) {
                const qint64 id =
                    store.addPuzzle({.child = children[0].id, .exercise = 6, .level = 3, .startedMs = now - 2000})
                        .value_or(0);
                QVERIFY(store.addAnswer(id, {.picture = 1, .atMs = now - 1000, .right = false}));
                QVERIFY(store.addAnswer(id, {.picture = 2, .atMs = now, .right = true}));
            }
            QVERIFY(store.addPuzzle({.child = children[1].id, .exercise = 2, .level = 1, .startedMs = now}));
        }
        app::RecordPage page(recordPath);
        QCOMPARE(page.daysTable()->rowCount(), 1);
        QCOMPARE(page.daysTable()->item(0, 1)->text(), u"6"_s);
        QCOMPARE(page.exercisesTable()->rowCount(), 1);
        QVERIFY(page.exercisesTable()->item(0, 0)->text().startsWith(u"6. "_s));
        QCOMPARE(page.exercisesTable()->item(0, 4)->text(), u"0 %"_s);
        QCOMPARE(page.weeksTable()->rowCount(), 1);
        QCOMPARE(page.weeksTable()->item(0, 2)->text(), u"6"_s);
        QCOMPARE(page.weeksTable()->item(0, 3)->text(), u"0 %"_s);
        QVERIFY(page.helpLabel()->text().contains(page.exercisesTable()->item(0, 0)->text().mid(3)));
        page.showChild(1);
        QCOMPARE(page.exercisesTable()->item(0, 0)->text().left(2), u"2."_s);
        page.showChild(0);
        folder.answer = forms::MsgAnswer::No;
        page.findChild<QPushButton*>(u"DeleteChild"_s)->click();
        QCOMPARE(page.exercisesTable()->rowCount(), 1);
        folder.answer = forms::MsgAnswer::Yes;
        page.findChild<QPushButton*>(u"DeleteChild"_s)->click();
        QCOMPARE(page.exercisesTable()->rowCount(), 0);
        page.showChild(1);
        QCOMPARE(page.exercisesTable()->rowCount(), 1);
        page.findChild<QPushButton*>(u"DeleteAll"_s)->click();
        QCOMPARE(page.exercisesTable()->rowCount(), 0);
        folder.answer = forms::MsgAnswer::Ok;
        QCOMPARE(childrenIn(recordPath).size(), 2);
    }
};

QTEST_MAIN(TestChildren)
#include "tst_children.moc"
