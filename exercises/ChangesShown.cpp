#include "ChangesShown.h"

#include "AccessibleTexts.h"

using namespace Qt::Literals::StringLiterals;

namespace exercises::changes_shown {

Drawing drawing(const rules::PuzzleModel& model) {
    Drawing drawn{.model = model.modelIndex(), .steps = {}};
    qint16 picture = drawn.model;
    for (const int bits : model.changes()) {
        picture = qint16(picture ^ bits);
        drawn.steps.push_back({.picture = picture, .changes = bits != 0});
    }
    return drawn;
}

QStringList wordKeys(const rules::PuzzleModel& model) {
    QStringList keys;
    for (const int bits : model.changes()) {
        if (bits == 0)
            keys.append(QString::fromLatin1(resources::picture_code::kNoChange.word));
        for (const resources::picture_code::AttributeCode& code : resources::picture_code::kAttributes) {
            if (bits & code.bit)
                keys.append(QString::fromLatin1(code.change.word));
        }
    }
    return keys;
}

QString sentence(const rules::PuzzleModel& model) {
    QStringList words;
    for (const QString& key : wordKeys(model))
        words.append(modLanguageSupport::MLSAccessibleText(key));
    return modLanguageSupport::MLSAccessibleFill(u"ChangeIs"_s, {words.join(u", "_s)});
}

}  // namespace exercises::changes_shown
