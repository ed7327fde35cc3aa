#pragma once
// The record of play: an SQLite database at
// $XDG_DATA_HOME/metamorfine/record.sqlite, readable by its user alone.
//
// Tables (schema version kSchemaVersion, in PRAGMA user_version):
//   children  id, name, picture, level
//   puzzles   id, child (NULL: no child chosen), exercise, level, picture_set,
//             model, changes, started, ended (ms since 1970, UTC), solved,
//             wrong_answers
//   answers   id, puzzle, at (ms since 1970, UTC), picture, right
//
// A Store is one connection, used on the thread that opened it. A file that
// is not a database, or a damaged one, is set aside under a dated name and a
// new one begun; a locked, read-only or full one is logged
// ("metamorfine.record") and the store goes on refusing writes.

#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QString>
#include <optional>
#include <vector>

class QSqlError;
class QSqlQuery;

namespace record {

Q_DECLARE_LOGGING_CATEGORY(lcRecord)

inline constexpr int kSchemaVersion = 1;

// This user's folder of data: $XDG_DATA_HOME when it is an absolute path,
// else ~/.local/share, as the XDG rules say; then metamorfine/.
QString dataFolder();
QString filePath();

struct Child {
    qint64 id = 0;
    QString name;
    int picture = 0;  // one of the program's drawn figures, 0 to kChildPictures - 1
    int level = 0;    // the level reached growing; 0 until the child has one

    bool operator==(const Child&) const = default;
};

struct Puzzle {
    qint64 child = 0;  // 0: no child chosen
    int exercise = 0;
    int level = 0;
    int pictureSet = 0;
    int model = 0;
    QString changes = {};  // the change or changes drawn, in words ("colour", "size+shape,colour")
    qint64 startedMs = 0;
};

struct Answer {
    int picture = 0;
    qint64 atMs = 0;
    bool right = false;
};

class Store {
public:
    explicit Store(QString path = filePath());
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Opens the file, setting a damaged one aside, and brings its tables to
    // this version. `check`: also reads every page for damage (slow on a big
    // record; the writer does it once a run). False when nothing can be
    // written (logged).
    bool open(bool check = false);
    bool isOpen() const { return open_; }
    const QString& path() const { return path_; }
    QSqlDatabase database() const;

    std::optional<qint64> addPuzzle(const Puzzle& puzzle);
    bool addAnswer(qint64 puzzle, const Answer& answer);

    std::vector<Child> children();
    std::optional<qint64> addChild(const Child& child);
    bool updateChild(const Child& child);
    // The child and every puzzle of theirs.
    bool removeChild(qint64 id);
    // Every puzzle of `child`, or of everyone (nullopt); the children stay.
    bool deleteRecord(std::optional<qint64> child);

    // Runs `query` (prepared or `sql`), logging a failure as `what`; a
    // damaged file is set aside and the store closed.
    bool run(QSqlQuery& query, const char* what, const QString& sql = {});

private:
    bool openFile(bool check);
    bool migrate();
    void close();
    void setAside();
    bool failed(const QSqlError& error, const char* what);

    QString path_;
    QString connection_;
    bool open_ = false;
};

// Whether SQLite said the file is no database or a damaged one.
bool isDamage(const QSqlError& error);

}  // namespace record
