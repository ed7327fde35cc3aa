#include "RecordSummary.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QStringBuilder>
#include <QVariant>

using namespace Qt::Literals::StringLiterals;

namespace record {

namespace {

QString whose(qint64 child) {
    return child > 0 ? u"child = :child"_s : u"child IS NULL"_s;
}

// Runs `select` for `child` (":child") and the first moment shown (":from"),
// handing `row` each row of the answer; a failure is logged by the store.
template <typename Row>
void eachRow(Store& store, const QString& select, qint64 child, qint64 from, const char* what, Row row) {
    QSqlQuery query(store.database());
    query.setForwardOnly(true);
    query.prepare(select);
    query.bindValue(u":child"_s, child);
    query.bindValue(u":from"_s, from);
    if (store.run(query, what))
        while (query.next())
            row(query);
}

}  // namespace

Summary summarise(Store& store, qint64 child, const QDate& since) {
    Summary summary;
    const qint64 from = since.startOfDay().toMSecsSinceEpoch();
    eachRow(store,
            u"SELECT date(started / 1000, 'unixepoch', 'localtime') AS day, count(*), sum(min(ended - started, "_s %
                QString::number(kLongestPuzzleMs) % u")) FROM puzzles WHERE "_s % whose(child) %
                u" AND started >= :from GROUP BY day ORDER BY day"_s,
            child, from, "summarising the days", [&summary](const QSqlQuery& query) {
                summary.days.push_back({.date = QDate::fromString(query.value(0).toString(), Qt::ISODate),
                                        .puzzles = query.value(1).toInt(),
                                        .minutes = query.value(2).toDouble() / 60000.0});
            });
    eachRow(store,
            u"SELECT exercise, level, count(*), sum(solved), sum(solved AND wrong_answers = 0),"
            " max(CASE WHEN solved AND started >= :from THEN level ELSE 0 END) FROM puzzles WHERE "_s %
                whose(child) % u" GROUP BY exercise, level ORDER BY exercise, level"_s,
            child, from, "summarising the exercises", [&summary](const QSqlQuery& query) {
                summary.exercises.push_back({.exercise = query.value(0).toInt(),
                                             .level = query.value(1).toInt(),
                                             .puzzles = query.value(2).toInt(),
                                             .solved = query.value(3).toInt(),
                                             .firstTry = query.value(4).toInt()});
                summary.highestLevel = std::max(summary.highestLevel, query.value(5).toInt());
            });
    // SQLite's 'weekday 1' goes forward to a Monday: six days back first.
    eachRow(store,
            u"SELECT date(started / 1000, 'unixepoch', 'localtime', '-6 days', 'weekday 1') AS week, exercise,"
            " sum(solved), sum(solved AND wrong_answers = 0) FROM puzzles WHERE "_s %
                whose(child) % u" AND started >= :from AND solved GROUP BY week, exercise ORDER BY week, exercise"_s,
            child, from, "summarising the weeks", [&summary](const QSqlQuery& query) {
                summary.weeks.push_back({.monday = QDate::fromString(query.value(0).toString(), Qt::ISODate),
                                         .exercise = query.value(1).toInt(),
                                         .solved = query.value(2).toInt(),
                                         .firstTry = query.value(3).toInt()});
            });
    return summary;
}

std::vector<ExerciseLevel> needsHelp(const Summary& summary, int atLeast) {
    std::vector<ExerciseLevel> help;
    for (const ExerciseLevel& row : summary.exercises)
        if (row.solved >= atLeast && row.firstTry * 2 < row.solved)
            help.push_back(row);
    return help;
}

}  // namespace record
