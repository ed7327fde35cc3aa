#include "RecordStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringBuilder>
#include <QVariant>
#include <array>
#include <atomic>

using namespace Qt::Literals::StringLiterals;

namespace record {

Q_LOGGING_CATEGORY(lcRecord, "metamorfine.record", QtCriticalMsg)

namespace {

// SQLite's primary result codes that matter here.
constexpr int kCorrupt = 11;
constexpr int kNotADatabase = 26;

// How long a write waits for another program holding the file; on the
// writer's thread, so the child never waits for it.
constexpr int kBusyTimeoutMs = 1500;

// The statements that bring a record of version i to version i + 1.
const std::array<std::vector<QString>, kSchemaVersion> kMigrations{{
    {
        u"CREATE TABLE IF NOT EXISTS children (id INTEGER PRIMARY KEY, name TEXT NOT NULL,"
        " picture INTEGER NOT NULL DEFAULT 0, level INTEGER NOT NULL DEFAULT 0)"_s,
        u"CREATE TABLE IF NOT EXISTS puzzles (id INTEGER PRIMARY KEY,"
        " child INTEGER REFERENCES children(id) ON DELETE CASCADE,"
        " exercise INTEGER NOT NULL, level INTEGER NOT NULL, picture_set INTEGER NOT NULL,"
        " model INTEGER NOT NULL, changes TEXT NOT NULL DEFAULT '',"
        " started INTEGER NOT NULL, ended INTEGER NOT NULL,"
        " solved INTEGER NOT NULL DEFAULT 0, wrong_answers INTEGER NOT NULL DEFAULT 0)"_s,
        u"CREATE INDEX IF NOT EXISTS puzzles_by_child ON puzzles(child, started)"_s,
        u"CREATE TABLE IF NOT EXISTS answers (id INTEGER PRIMARY KEY,"
        " puzzle INTEGER NOT NULL REFERENCES puzzles(id) ON DELETE CASCADE,"
        " at INTEGER NOT NULL, picture INTEGER NOT NULL, right INTEGER NOT NULL)"_s,
        u"CREATE INDEX IF NOT EXISTS answers_by_puzzle ON answers(puzzle)"_s,
    },
}};

// Takes the permissions of everyone but the owner away; never gives any.
void keepPrivate(const QString& path) {
    constexpr QFile::Permissions kOwner =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
    const QFile::Permissions now = QFile::permissions(path);
    if (now & ~kOwner)
        QFile::setPermissions(path, now & kOwner);
}

QString newConnectionName() {
    static std::atomic<int> count{0};
    return u"metamorfine-record-"_s % QString::number(++count);
}

}  // namespace

QString dataFolder() {
    const QString folder = qEnvironmentVariable("XDG_DATA_HOME");
    return (QDir::isAbsolutePath(folder) ? QDir::cleanPath(folder) : QDir::homePath() % u"/.local/share"_s) %
           u"/metamorfine"_s;
}

QString filePath() {
    return dataFolder() % u"/record.sqlite"_s;
}

bool isDamage(const QSqlError& error) {
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == kCorrupt || code == kNotADatabase;
}

Store::Store(QString path) : path_(std::move(path)), connection_(newConnectionName()) {}

Store::~Store() {
    close();
}

QSqlDatabase Store::database() const {
    return QSqlDatabase::database(connection_, false);
}

bool Store::open(bool check) {
    if (open_)
        return true;
    if (openFile(check))
        return true;
    // A file set aside just now gives way to a new one.
    return !QFileInfo::exists(path_) && openFile(false);
}

bool Store::openFile(bool check) {
    const QFileInfo file(path_);
    const QString folder = file.absolutePath();
    if (!QDir().mkpath(folder)) {
        qCWarning(lcRecord) << "no folder for the record:" << folder;
        return false;
    }
    keepPrivate(folder);
    if (file.exists() && !file.isFile()) {
        qCWarning(lcRecord) << "the record" << path_ << "is not a file";
        setAside();
        return false;
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection_);
        if (!db.isValid()) {
            qCWarning(lcRecord) << "no SQLite driver for Qt: nothing is recorded";
            QSqlDatabase::removeDatabase(connection_);
            return false;
        }
        db.setDatabaseName(path_);
        db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT="_s % QString::number(kBusyTimeoutMs));
        if (!db.open()) {
            const QSqlError error = db.lastError();
            db = {};
            QSqlDatabase::removeDatabase(connection_);
            qCWarning(lcRecord) << "the record" << path_ << "cannot be opened:" << error.text();
            return false;
        }
    }
    open_ = true;
    QSqlQuery query(database());
    if (!run(query, "reading the record", u"PRAGMA foreign_keys = ON"_s) ||
        !run(query, "reading the record", u"PRAGMA user_version"_s))
        return close(), false;
    if (check) {
        if (!run(query, "checking the record", u"PRAGMA quick_check"_s))
            return close(), false;
        if (query.next() && query.value(0).toString() != u"ok"_s) {
            qCWarning(lcRecord) << "the record" << path_ << "is damaged:" << query.value(0).toString();
            close();
            setAside();
            return false;
        }
    }
    // Deleted rows are overwritten on the disk, so that a deleted record is gone.
    run(query, "setting up the record", u"PRAGMA secure_delete = ON"_s);
    run(query, "setting up the record", u"PRAGMA journal_mode = WAL"_s);
    run(query, "setting up the record", u"PRAGMA synchronous = NORMAL"_s);
    if (!open_ || !migrate())
        return close(), false;
    for (const QString& suffix : {QString(), u"-wal"_s, u"-shm"_s})
        if (QFileInfo::exists(path_ + suffix))
            keepPrivate(path_ + suffix);
    return true;
}

bool Store::migrate() {
    QSqlQuery query(database());
    if (!run(query, "reading the record's version", u"PRAGMA user_version"_s) || !query.next())
        return false;
    const int version = query.value(0).toInt();
    if (version > kSchemaVersion) {
        qCWarning(lcRecord) << "the record" << path_ << "is of version" << version
                            << "from a newer program: it is left as it is, nothing is recorded";
        return false;
    }
    for (int step = version; step < kSchemaVersion; ++step) {
        QSqlDatabase db = database();
        if (!db.transaction())
            return failed(db.lastError(), "bringing the record up to date");
        for (const QString& statement : kMigrations[std::size_t(step)])
            if (!run(query, "bringing the record up to date", statement))
                return open_ && database().rollback(), false;
        if (!run(query, "bringing the record up to date", u"PRAGMA user_version = "_s % QString::number(step + 1)))
            return open_ && database().rollback(), false;
        if (!db.commit())
            return failed(db.lastError(), "bringing the record up to date");
    }
    return true;
}

void Store::close() {
    if (!QSqlDatabase::contains(connection_))
        return;
    database().close();
    QSqlDatabase::removeDatabase(connection_);
    open_ = false;
}

// record.sqlite.damaged-20261208-074512, with its write-ahead log beside it.
void Store::setAside() {
    const QString aside = path_ % u".damaged-"_s % QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
    for (const QString& suffix : {QString(), u"-wal"_s, u"-shm"_s}) {
        if (!QFileInfo::exists(path_ + suffix) && !QFileInfo(path_ + suffix).isSymLink())
            continue;
        if (QDir().rename(path_ + suffix, aside + suffix))
            qCWarning(lcRecord) << "the damaged record" << path_ + suffix << "is set aside as" << aside + suffix;
        else
            qCWarning(lcRecord) << "the damaged record" << path_ + suffix << "cannot be set aside";
    }
}

bool Store::failed(const QSqlError& error, const char* what) {
    qCWarning(lcRecord) << what << "failed:" << error.text() << "in" << path_;
    if (isDamage(error)) {
        close();
        setAside();
    }
    return false;
}

bool Store::run(QSqlQuery& query, const char* what, const QString& sql) {
    if (!open_)
        return false;
    if (sql.isEmpty() ? query.exec() : query.exec(sql))
        return true;
    return failed(query.lastError(), what);
}

std::optional<qint64> Store::addPuzzle(const Puzzle& puzzle) {
    QSqlQuery query(database());
    query.prepare(
        u"INSERT INTO puzzles (child, exercise, level, picture_set, model, changes, started, ended)"
        " VALUES (?, ?, ?, ?, ?, coalesce(?, ''), ?, ?)"_s);
    query.addBindValue(puzzle.child > 0 ? QVariant(puzzle.child) : QVariant(QMetaType::fromType<qint64>()));
    query.addBindValue(puzzle.exercise);
    query.addBindValue(puzzle.level);
    query.addBindValue(puzzle.pictureSet);
    query.addBindValue(puzzle.model);
    query.addBindValue(puzzle.changes);
    query.addBindValue(puzzle.startedMs);
    query.addBindValue(puzzle.startedMs);
    if (!run(query, "recording a puzzle"))
        return std::nullopt;
    return query.lastInsertId().toLongLong();
}

bool Store::addAnswer(qint64 puzzle, const Answer& answer) {
    if (!open_)
        return false;
    QSqlDatabase db = database();
    if (!db.transaction())
        return failed(db.lastError(), "recording an answer");
    QSqlQuery query(db);
    query.prepare(u"INSERT INTO answers (puzzle, at, picture, right) VALUES (?, ?, ?, ?)"_s);
    query.addBindValue(puzzle);
    query.addBindValue(answer.atMs);
    query.addBindValue(answer.picture);
    query.addBindValue(answer.right ? 1 : 0);
    bool done = run(query, "recording an answer");
    if (done) {
        query.prepare(
            u"UPDATE puzzles SET ended = ?, solved = max(solved, ?), wrong_answers = wrong_answers + ?"
            " WHERE id = ?"_s);
        query.addBindValue(answer.atMs);
        query.addBindValue(answer.right ? 1 : 0);
        query.addBindValue(answer.right ? 0 : 1);
        query.addBindValue(puzzle);
        done = run(query, "recording an answer");
    }
    if (!open_)
        return false;
    if (!done)
        return db.rollback(), false;
    return db.commit() || failed(db.lastError(), "recording an answer");
}

std::vector<Child> Store::children() {
    std::vector<Child> children;
    QSqlQuery query(database());
    if (!run(query, "reading the children", u"SELECT id, name, picture, level FROM children ORDER BY id"_s))
        return children;
    while (query.next())
        children.push_back({.id = query.value(0).toLongLong(),
                            .name = query.value(1).toString(),
                            .picture = query.value(2).toInt(),
                            .level = query.value(3).toInt()});
    return children;
}

std::optional<qint64> Store::addChild(const Child& child) {
    QSqlQuery query(database());
    query.prepare(u"INSERT INTO children (name, picture, level) VALUES (?, ?, ?)"_s);
    query.addBindValue(child.name);
    query.addBindValue(child.picture);
    query.addBindValue(child.level);
    if (!run(query, "adding a child"))
        return std::nullopt;
    return query.lastInsertId().toLongLong();
}

bool Store::updateChild(const Child& child) {
    QSqlQuery query(database());
    query.prepare(u"UPDATE children SET name = ?, picture = ?, level = ? WHERE id = ?"_s);
    query.addBindValue(child.name);
    query.addBindValue(child.picture);
    query.addBindValue(child.level);
    query.addBindValue(child.id);
    return run(query, "changing a child");
}

bool Store::removeChild(qint64 id) {
    QSqlQuery query(database());
    query.prepare(u"DELETE FROM children WHERE id = ?"_s);
    query.addBindValue(id);
    return run(query, "removing a child");
}

bool Store::deleteRecord(std::optional<qint64> child) {
    QSqlQuery query(database());
    if (!child)
        return run(query, "deleting the record", u"DELETE FROM puzzles"_s);
    query.prepare(*child > 0 ? u"DELETE FROM puzzles WHERE child = ?"_s : u"DELETE FROM puzzles WHERE child IS NULL"_s);
    if (*child > 0)
        query.addBindValue(*child);
    return run(query, "deleting a child's record");
}

}  // namespace record
