#include "RecordCsv.h"

#include <QDateTime>
#include <QSaveFile>
#include <QSqlQuery>
#include <QStringBuilder>
#include <QVariant>

using namespace Qt::Literals::StringLiterals;

namespace record {

namespace {

const QString kHeader =
    u"child,puzzle,exercise,level,picture_set,model,changes,started,solved,wrong_answers,answered,picture,right"_s;

QString localTime(const QVariant& ms) {
    return ms.isNull() ? QString() : QDateTime::fromMSecsSinceEpoch(ms.toLongLong()).toString(Qt::ISODateWithMs);
}

}  // namespace

QString csvField(const QString& text) {
    // A spreadsheet runs a cell that begins so as a formula: a child's name
    // is kept as text by an apostrophe before it.
    static const QString kFormulaStarts = u"=+-@\t\r"_s;
    const bool formula = !text.isEmpty() && kFormulaStarts.contains(text.front());
    if (!formula && !text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = formula ? u'\'' + text : text;
    quoted.replace(u"\""_s, u"\"\""_s);
    return u'"' % quoted % u'"';
}

bool exportCsv(Store& store, const QString& path, std::optional<qint64> child) {
    QSqlQuery query(store.database());
    query.setForwardOnly(true);
    query.prepare(
        u"SELECT coalesce(c.name, ''), p.id, p.exercise, p.level, p.picture_set, p.model, p.changes, p.started,"
        " p.solved, p.wrong_answers, a.at, a.picture, a.right"
        " FROM puzzles p LEFT JOIN children c ON c.id = p.child LEFT JOIN answers a ON a.puzzle = p.id"_s %
        (child ? (*child > 0 ? u" WHERE p.child = ?"_s : u" WHERE p.child IS NULL"_s) : QString()) %
        u" ORDER BY p.started, p.id, a.at, a.id"_s);
    if (child && *child > 0)
        query.addBindValue(*child);
    if (!store.run(query, "exporting the record"))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcRecord) << "the export" << path << "cannot be written:" << file.errorString();
        return false;
    }
    file.write("\xEF\xBB\xBF");
    file.write((kHeader % u"\r\n"_s).toUtf8());
    while (query.next()) {
        const bool answered = !query.value(10).isNull();
        const QStringList fields{
            csvField(query.value(0).toString()),
            query.value(1).toString(),
            query.value(2).toString(),
            query.value(3).toString(),
            query.value(4).toString(),
            query.value(5).toString(),
            csvField(query.value(6).toString()),
            localTime(query.value(7)),
            query.value(8).toString(),
            query.value(9).toString(),
            localTime(query.value(10)),
            answered ? query.value(11).toString() : QString(),
            answered ? query.value(12).toString() : QString(),
        };
        file.write((fields.join(u',') % u"\r\n"_s).toUtf8());
    }
    if (!file.commit()) {
        qCWarning(lcRecord) << "the export" << path << "cannot be written:" << file.errorString();
        return false;
    }
    return true;
}

}  // namespace record
