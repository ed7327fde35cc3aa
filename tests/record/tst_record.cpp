// The record of play: every puzzle and answer of every exercise at every
// level kept with its fields for its child; the schema's version and the
// file's permissions; and the faults that must never stop play (a damaged
// file set aside, a read-only record in a read-only folder, a file locked by another
// process, a disk that fills up), each logged.

#include "ExerciseCatalogue.h"
#include "FileBytes.h"
#include "Player.h"
#include "PuzzleModel.h"
#include "PuzzleRecord.h"
#include "RecordCsv.h"
#include "RecordStore.h"
#include "RecordSummary.h"
#include "Recorder.h"
#include "Unprivileged.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <map>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Rows of `sql` on the record at `path`, read by a connection of the test's
// own, opened read-only so that it changes nothing; each row's columns joined
// by "|".
QStringList rows(const QString& path, const QString& sql) {
    QStringList found;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"reader"_s);
        db.setDatabaseName(path);
        db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
        const bool opened = db.open();
        QSqlQuery query(db);
        if (!opened || !query.exec(sql))
            found.append(u"error: "_s + db.lastError().text() + query.lastError().text());
        while (query.next()) {
            QStringList columns;
            for (int i = 0; i < query.record().count(); ++i)
                columns.append(query.value(i).toString());
            found.append(columns.join(u'|'));
        }
    }
    QSqlDatabase::removeDatabase(u"reader"_s);
    return found;
}

// A record of `puzzles` puzzles of one answer each, closed.
void makeRecord(const QString& path, int puzzles) {
    record::Store store(path);
    QVERIFY(store.open());
    for (int i = 0; i < puzzles; ++i) {
        const std::optional<qint64> id = store.addPuzzle({.exercise = 1 + i % 7, .level = 2, .startedMs = i});
        QVERIFY(id);
        QVERIFY(store.addAnswer(*id, {.picture = 1, .atMs = i + 1, .right = true}));
    }
}

// Puzzles of one answer each, `times` of them, through a recorder of their own, closed after.
void play(const QString& path, const record::Puzzle& puzzle, const record::Answer& answer, int times = 1) {
    record::Recorder recorder(path);
    for (int i = 0; i < times; ++i) {
        recorder.puzzleStarted(puzzle);
        recorder.answered(answer);
    }
}

// What was set aside in a folder.
QStringList setAside(const QString& folder) {
    return QDir(folder).entryList({u"record.sqlite.damaged-*"_s}, QDir::AllEntries | QDir::Hidden | QDir::System);
}

// The rows of a CSV file, each its fields, as Python's csv module (a
// spreadsheet's reading) takes them, the byte-order mark aside.
std::vector<QStringList> readCsv(const QString& path) {
    QProcess python;
    python.start(u"python3"_s, {u"-c"_s,
                                u"import csv, json, sys\n"
                                "print(json.dumps(list(csv.reader(open(sys.argv[1], newline='', "
                                "encoding='utf-8-sig')))))"_s,
                                path});
    std::vector<QStringList> rows;
    if (python.waitForFinished(10000))
        for (const QJsonValue row : QJsonDocument::fromJson(python.readAllStandardOutput()).array())
            rows.push_back(row.toVariant().toStringList());
    return rows;
}

// What each word of a puzzle's changes does to the picture's number.
const std::map<QString, int> kChangeBits{
    {u"same"_s, 0}, {u"colour"_s, 1}, {u"size"_s, 2}, {u"shape"_s, 4}, {u"pattern"_s, 8}};

}  // namespace

class RecordTest : public QObject {
    Q_OBJECT

    // Each test's own folder and the record in it.
    std::optional<QTemporaryDir> dir;
    QString path;

private Q_SLOTS:
    void initTestCase() { QLoggingCategory::setFilterRules(u"metamorfine.record.warning=true"_s); }
    void init() {
        dir.emplace();
        path = dir->filePath(u"record.sqlite"_s);
    }

    // Each exercise at each level: a puzzle answered wrong then right, and one
    // left unanswered. The changes recorded, applied to the model, give the
    // picture recorded as the right answer.
    void everyPuzzleAndAnswerIsKept() {
        QTest::failOnWarning(QRegularExpression(u"record"_s));
        std::mt19937 engine(7);
        const rules::Generator rnd = [&engine] { return std::uniform_real_distribution<double>(0, 1)(engine); };
        QStringList expected;
        const qint64 before = QDateTime::currentMSecsSinceEpoch();
        qint64 childId = 0;
        {
            record::Store children(path);
            QVERIFY(children.open());
            childId = children.addChild({.name = u"Ada"_s, .picture = 3}).value_or(0);
            QVERIFY(childId > 0);
            record::Recorder recorder(path);
            const record::Player ada(&recorder, {.id = childId, .name = u"Ada"_s, .picture = 3});
            for (const exercises::exercise_catalogue::Exercise& exercise : exercises::exercise_catalogue::catalogue()) {
                for (const rules::Level& level : rules::kLevels) {
                    rules::PuzzleModel model(exercise.rule, rnd);
                    new exercises::puzzle_record::PuzzleRecord(model, exercise.number,
                                                               [&ada]() -> const record::Player& { return ada; });
                    QVERIFY(model.setLevel(level.number));
                    model.start(6);
                    const int right = *model.rightIndex();
                    const int wrong = model.shownPictures().front() == right ? model.shownPictures().back()
                                                                             : model.shownPictures().front();
                    // child|exercise|level|set|model| then what the puzzle's answers make of it
                    const auto puzzleRow = [&](const QString& answers) -> QString {
                        return QString::asprintf("%lld|%d|%d|%d|%d|", childId, exercise.number, level.number,
                                                 model.set(), model.modelIndex()) +
                               answers;
                    };
                    expected.append(puzzleRow(u"1|1|%1:0,%2:1"_s.arg(wrong).arg(right)));
                    model.answer(wrong);
                    model.answer(right);
                    model.newPuzzle(6);
                    expected.append(puzzleRow(u"0|0|"_s));
                }
            }
        }
        const QStringList kept = rows(path,
                                      u"SELECT child, exercise, level, picture_set, model, solved, wrong_answers,"
                                      " (SELECT group_concat(picture || ':' || right) FROM (SELECT * FROM answers "
                                      "WHERE puzzle = p.id ORDER BY id))"
                                      " FROM puzzles p ORDER BY id"_s);
        QCOMPARE(kept, expected);
        // The right picture is the model with the recorded changes applied.
        const QStringList solved = rows(
            path, u"SELECT model, changes, a.picture FROM puzzles p JOIN answers a ON a.puzzle = p.id AND a.right"_s);
        QCOMPARE(solved.size(), int(exercises::exercise_catalogue::catalogue().size() * rules::kLevels.size()));
        for (const QString& row : solved) {
            const QStringList columns = row.split(u'|');
            int picture = columns[0].toInt();
            for (const QString& attribute : columns[1].split(QRegularExpression(u"[,+]"_s))) {
                QVERIFY2(kChangeBits.contains(attribute), qPrintable(row));
                picture ^= kChangeBits.at(attribute);
            }
            QCOMPARE(picture, columns[2].toInt());
        }
        // The times: a puzzle ends at its last answer, answers come in order, all within the test.
        const qint64 after = QDateTime::currentMSecsSinceEpoch();
        QCOMPARE(rows(path,
                      u"SELECT count(*) FROM puzzles p WHERE started < %1 OR started > ended OR ended > %2"
                      " OR ended <> coalesce((SELECT max(at) FROM answers WHERE puzzle = p.id), started)"_s.arg(before)
                          .arg(after)),
                 QStringList{u"0"_s});
    }

    // Every answer a row under the header, a puzzle without answers a row of
    // its own; names with commas, quotes, line breaks and other scripts come
    // back as they were, but for a name a spreadsheet would take for a
    // formula, which is kept as text; one child's export holds theirs alone
    // (the program's --export-record is e2e_record's).
    void theCsvExportReadsBackInASpreadsheet() {
        const QStringList names{u"Zoë, \"Anna\""_s, u"=Ёлка\nи Юля"_s};
        {
            record::Store store(path);
            QVERIFY(store.open());
            for (int c = 0; c < 2; ++c) {
                const qint64 child = store.addChild({.name = names[c], .picture = c}).value_or(0);
                const qint64 puzzle = store
                                          .addPuzzle({.child = child,
                                                      .exercise = 6 + c,
                                                      .level = 3,
                                                      .pictureSet = 2,
                                                      .model = 9,
                                                      .changes = u"colour+size,shape"_s,
                                                      .startedMs = 1000 * c})
                                          .value_or(0);
                QVERIFY(store.addAnswer(puzzle, {.picture = 4, .atMs = 1000 * c + 10, .right = false}));
                QVERIFY(store.addAnswer(puzzle, {.picture = 7, .atMs = 1000 * c + 20, .right = true}));
                QVERIFY(store.addPuzzle({.child = child, .exercise = 1, .level = 1, .startedMs = 1000 * c + 30}));
            }
            QVERIFY(record::exportCsv(store, dir->filePath(u"all.csv"_s)));
            QVERIFY(record::exportCsv(store, dir->filePath(u"second.csv"_s), store.children().back().id));
        }
        QVERIFY(file_bytes::read(dir->filePath(u"all.csv"_s)).startsWith("\xEF\xBB\xBF"));
        const std::vector<QStringList> rows = readCsv(dir->filePath(u"all.csv"_s));
        QCOMPARE(rows.size(), std::size_t(7));
        QCOMPARE(rows[0].join(u','),
                 u"child,puzzle,exercise,level,picture_set,model,changes,started,solved,"
                 "wrong_answers,answered,picture,right"_s);
        for (const QStringList& row : rows)
            QCOMPARE(row.size(), 13);
        const auto at = [](qint64 ms) { return QDateTime::fromMSecsSinceEpoch(ms).toString(Qt::ISODateWithMs); };
        QCOMPARE(rows[1], (QStringList{names[0], u"1"_s, u"6"_s, u"3"_s, u"2"_s, u"9"_s, u"colour+size,shape"_s, at(0),
                                       u"1"_s, u"1"_s, at(10), u"4"_s, u"0"_s}));
        QCOMPARE(rows[2].mid(11), (QStringList{u"7"_s, u"1"_s}));
        QCOMPARE(rows[3].mid(10), (QStringList{QString(), QString(), QString()}));
        QCOMPARE(rows[4][0], u'\'' + names[1]);
        const std::vector<QStringList> second = readCsv(dir->filePath(u"second.csv"_s));
        QCOMPARE(second.size(), std::size_t(4));
        for (std::size_t row = 1; row < second.size(); ++row)
            QCOMPARE(second[row], rows[row + 3]);
    }

    // The page's numbers from a record made by hand: days and minutes (a
    // puzzle left long counts five minutes), puzzles, solved and first tries
    // by exercise and level and by exercise week by week, where help is
    // needed, the level reached lately;
    // another child's and older play apart.
    void theSummaryCountsAsAGrownUpWould() {
        record::Store store(path);
        QVERIFY(store.open());
        const qint64 ada = store.addChild({.name = u"Ada"_s}).value_or(0);
        const qint64 bea = store.addChild({.name = u"Bea"_s}).value_or(0);
        // A Wednesday, so that two days back is the Monday that starts its week.
        const QDate today(2026, 11, 25);
        const auto at = [&today](int daysBack, int minute) {
            return today.addDays(-daysBack).startOfDay().addSecs(10 * 3600 + 60 * minute).toMSecsSinceEpoch();
        };
        // exercise, level, days back, minute started, seconds taken, wrong answers before the right one (-1: left)
        struct Played {
            qint64 child;
            int exercise, level, daysBack, minute, seconds, wrong;
        };
        const std::vector<Played> plays{
            {ada, 1, 2, 1, 0, 60, 0},  {ada, 1, 2, 1, 2, 600, 1}, {ada, 1, 2, 3, 0, 30, 0}, {ada, 6, 3, 3, 1, 20, 1},
            {ada, 6, 3, 3, 2, 20, 2},  {ada, 6, 3, 3, 3, 20, 0},  {ada, 6, 3, 3, 4, 20, 3}, {ada, 6, 3, 3, 5, 20, 1},
            {ada, 6, 1, 3, 6, 20, -1}, {ada, 4, 3, 40, 0, 20, 0}, {bea, 1, 1, 1, 0, 20, 0}, {ada, 6, 3, 2, 0, 20, 1},
        };
        for (const auto& [child, exercise, level, daysBack, minute, seconds, wrong] : plays) {
            const qint64 started = at(daysBack, minute);
            const qint64 id =
                store.addPuzzle({.child = child, .exercise = exercise, .level = level, .startedMs = started})
                    .value_or(0);
            for (int n = 0; n < wrong; ++n)
                QVERIFY(store.addAnswer(id, {.picture = 1, .atMs = started + 1000, .right = false}));
            QVERIFY(store.addAnswer(id, {.picture = 2, .atMs = started + 1000 * seconds, .right = wrong >= 0}));
        }
        const record::Summary summary = record::summarise(store, ada, today.addDays(-27));
        QCOMPARE(summary.days.size(), std::size_t(3));
        QCOMPARE(summary.days[0].date, today.addDays(-3));
        QCOMPARE(summary.days[0].puzzles, 7);
        QCOMPARE(summary.days[0].minutes, (30 + 6 * 20) / 60.0);
        QCOMPARE(summary.days[1].puzzles, 1);
        QCOMPARE(summary.days[2].date, today.addDays(-1));
        QCOMPARE(summary.days[2].minutes, 1.0 + 5.0);
        QStringList byExercise;
        for (const record::ExerciseLevel& row : summary.exercises)
            byExercise.append(
                QString::asprintf("%d/%d: %d %d %d", row.exercise, row.level, row.puzzles, row.solved, row.firstTry));
        QCOMPARE(byExercise, (QStringList{u"1/2: 3 3 2"_s, u"4/3: 1 1 1"_s, u"6/1: 1 0 0"_s, u"6/3: 6 6 1"_s}));
        QCOMPARE(summary.highestLevel, 3);
        // Week by week (from Monday), the puzzles solved and those at the first try.
        QStringList weeks;
        for (const record::Week& week : summary.weeks)
            weeks.append(week.monday.toString(Qt::ISODate) +
                         QString::asprintf(" %d: %d %d", week.exercise, week.solved, week.firstTry));
        QCOMPARE(weeks, (QStringList{u"2026-11-16 1: 1 1"_s, u"2026-11-16 6: 5 1"_s, u"2026-11-23 1: 2 1"_s,
                                     u"2026-11-23 6: 1 0"_s}));
        const std::vector<record::ExerciseLevel> help = record::needsHelp(summary);
        QCOMPARE(help.size(), std::size_t(1));
        QCOMPARE(std::pair(help[0].exercise, help[0].level), std::pair(6, 3));
        // Fewer than five solved is too few to tell.
        QVERIFY(record::needsHelp(summary, 7).empty());
        QCOMPARE(record::summarise(store, bea, today.addDays(-27)).exercises.size(), std::size_t(1));
        QVERIFY(record::summarise(store, 0, today.addDays(-27)).days.empty());
    }

    // A new record: this version, readable by its user alone in a folder of
    // theirs alone; a record of a newer program is neither changed nor written to.
    void aNewRecordIsPrivateAndVersioned() {
        path = dir->filePath(u"metamorfine/record.sqlite"_s);
        makeRecord(path, 1);
        QCOMPARE(rows(path, u"PRAGMA user_version"_s), QStringList{QString::number(record::kSchemaVersion)});
        for (const QString& file : QStringList{path, path + u"-wal"_s, path + u"-shm"_s})
            QVERIFY(!QFileInfo::exists(file) ||
                    (QFileInfo(file).permissions() & 0x7077) == (QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(QFileInfo(path).permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(QFileInfo(dir->filePath(u"metamorfine"_s)).permissions() & 0x7077,
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        {
            record::Store store(path);
            QVERIFY(store.open());
            QSqlQuery query(store.database());
            QVERIFY(store.run(query, "test", u"PRAGMA user_version = %1"_s.arg(record::kSchemaVersion + 1)));
        }
        const QByteArray newer = file_bytes::read(path);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"newer program"_s));
        play(path, {.exercise = 1, .level = 2}, {.picture = 1, .right = true});
        QCOMPARE(file_bytes::read(path), newer);
        QVERIFY(setAside(dir->filePath(u"metamorfine"_s)).isEmpty());
    }

    // A damaged record (here cut short) is set aside as it was and a new
    // record begun, which keeps the puzzle played.
    void aDamagedRecordIsSetAside() {
        makeRecord(path, 400);
        QByteArray bytes = file_bytes::read(path);
        bytes.truncate(bytes.size() / 2);
        QVERIFY(file_bytes::write(path, bytes));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"set aside"_s));
        play(path, {.exercise = 4, .level = 3, .model = 5}, {.picture = 2, .right = false});
        const QStringList aside = setAside(dir->path());
        QCOMPARE(aside.size(), 1);
        QVERIFY(aside.front().contains(QDate::currentDate().toString(u"yyyyMMdd"_s)));
        QCOMPARE(file_bytes::read(dir->filePath(aside.front())), bytes);
        QCOMPARE(rows(path, u"SELECT exercise, level, model, wrong_answers FROM puzzles"_s), QStringList{u"4|3|5|1"_s});
    }

    // A record that cannot be written keeps what it holds and the writer goes
    // on; as a user who may not write there (root may write anywhere).
    void aReadOnlyRecordLosesNothing() {
        if (unprivileged::runningAsRoot()) {
            QVERIFY(unprivileged::currentRowPassesUnprivileged());
            return;
        }
        makeRecord(path, 3);
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
        QVERIFY(QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::ExeOwner));
        const QByteArray before = file_bytes::read(path);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"readonly"_s));
        play(path, {.exercise = 1, .level = 2}, {.picture = 1, .right = true}, 2);
        QCOMPARE(file_bytes::read(path), before);
        QVERIFY(QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QCOMPARE(rows(path, u"SELECT count(*) FROM answers"_s), QStringList{u"3"_s});
        QVERIFY(setAside(dir->path()).isEmpty());
    }

    // Another program holding the record: the puzzle then is lost, logged,
    // nothing is set aside, and recording goes on once it lets go.
    void aLockedRecordWaitsForNobody() {
        makeRecord(path, 2);
        QProcess holder;
        holder.start(u"python3"_s, {u"-c"_s,
                                    u"import sqlite3, sys\n"
                                    "c = sqlite3.connect(sys.argv[1], isolation_level=None)\n"
                                    "c.execute('BEGIN EXCLUSIVE')\n"
                                    "print('held', flush=True)\n"
                                    "sys.stdin.read()\n"_s,
                                    path});
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readAll().trimmed(), QByteArray("held"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"locked"_s));
        record::Recorder recorder(path);
        recorder.puzzleStarted({.exercise = 2, .level = 1});
        recorder.answered({.picture = 1, .right = true});
        recorder.flush();
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(10000));
        recorder.puzzleStarted({.exercise = 3, .level = 1});
        recorder.answered({.picture = 1, .right = true});
        recorder.flush();
        QCOMPARE(rows(path, u"SELECT exercise FROM puzzles ORDER BY id"_s), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
        QCOMPARE(rows(path, u"SELECT count(*) FROM answers"_s), QStringList{u"3"_s});
        QVERIFY(setAside(dir->path()).isEmpty());
    }

    // A disk that fills up (a file size limit, as a full disk answers): the
    // writes that do not fit fail, the writer goes on, and the record keeps
    // what it held whole.
    void aFullDiskKeepsTheRecordWhole() {
        makeRecord(path, 20);
        const qint64 size = QFileInfo(path).size();
        const pid_t writer = ::fork();
        if (writer == 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{.rlim_cur = rlim_t(size + 8192), .rlim_max = rlim_t(size + 8192)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            record::Recorder recorder(path);
            for (int i = 0; i < 2000; ++i) {
                recorder.puzzleStarted({.exercise = 5, .level = 3, .changes = QString(200, u'x'), .startedMs = i});
                recorder.answered({.picture = 1, .atMs = i, .right = true});
            }
            recorder.flush();
            ::_exit(0);
        }
        QVERIFY(writer > 0);
        int status = 0;
        QCOMPARE(::waitpid(writer, &status, 0), writer);
        QVERIFY2(WIFEXITED(status), "the writer did not end by itself");
        // It opens whole, nothing is set aside, the puzzles made before are as they were, some of
        // the new ones were kept, and every puzzle's count of wrong answers agrees with its answers.
        record::Store store(path);
        QVERIFY(store.open(true));
        QVERIFY(setAside(dir->path()).isEmpty());
        QCOMPARE(rows(path, u"SELECT count(*) FROM puzzles WHERE id <= 20 AND wrong_answers = 0 AND solved"_s),
                 QStringList{u"20"_s});
        const QStringList kept = rows(path, u"SELECT count(*) FROM puzzles"_s);
        QVERIFY2(kept.front().toInt() > 20 && kept.front().toInt() < 2020, qPrintable(kept.join(u'|')));
        QCOMPARE(rows(path,
                      u"SELECT count(*) FROM puzzles p WHERE wrong_answers <>"
                      " (SELECT count(*) FROM answers WHERE puzzle = p.id AND NOT right)"_s),
                 QStringList{u"0"_s});
    }
};

QTEST_GUILESS_MAIN(RecordTest)
#include "tst_record.moc"
