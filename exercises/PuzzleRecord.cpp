#include "PuzzleRecord.h"

#include "PictureCode.h"

#include <QDateTime>
#include <QStringList>

using namespace Qt::Literals::StringLiterals;

namespace exercises::puzzle_record {

QString changeWords(const std::vector<int>& changes) {
    QStringList words;
    for (const int bits : changes) {
        QStringList attributes;
        for (const resources::picture_code::AttributeCode& code : resources::picture_code::kAttributes)
            if (bits & code.bit)
                attributes.append(QString::fromLatin1(code.change.instruction).toLower());
        words.append(attributes.isEmpty() ? u"same"_s : attributes.join(u'+'));
    }
    return words.join(u',');
}

PuzzleRecord::PuzzleRecord(rules::PuzzleModel& model, int exercise, std::function<const record::Player&()> player)
    : QObject(&model) {
    using rules::PuzzleModel;
    connect(&model, &PuzzleModel::puzzleChanged, this, [&model, exercise, player] {
        player().puzzleStarted({.exercise = exercise,
                                .level = model.puzzleLevel().number,
                                .pictureSet = model.set(),
                                .model = model.modelIndex(),
                                .changes = changeWords(model.changes()),
                                .startedMs = QDateTime::currentMSecsSinceEpoch()});
    });
    connect(&model, &PuzzleModel::answered, this, [player](bool right, int index) {
        player().answered({.picture = index, .atMs = QDateTime::currentMSecsSinceEpoch(), .right = right});
    });
}

}  // namespace exercises::puzzle_record
