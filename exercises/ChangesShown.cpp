#include "ChangesShown.h"

#include "AccessibleTexts.h"
#include "Resources.h"

#include <array>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace changes_shown {

namespace {

struct Change {
    const char* drawing;
    const char* word;
};

// Indexed by the number of a drawn change less one: 1 colour, 2 size, 3 shape, 4 none.
constexpr std::array<Change, 4> kChanges{{
    {resources::kRuleColour, "WordColour"},
    {resources::kRuleSize, "WordSize"},
    {resources::kRuleShape, "WordShape"},
    {resources::kRuleNone, "WordNothing"},
}};
constexpr qint16 kNoChange = 4;

// The numbers of the changes of the current puzzle, in their order.
std::vector<qint16> changeNumbers(const puzzle::PuzzleModel& model) {
    switch (model.rule().kind) {
    case puzzle::RuleKind::RandomChange:
        return {model.TipoCambiamento()};
    case puzzle::RuleKind::TwoChanges:
        return {model.PrimoCambiamento(), model.SecondoCambiamento()};
    case puzzle::RuleKind::FixedChange:
        break;
    }
    // The attributes a fixed rule changes, numbered like the drawn changes.
    constexpr std::array<int, 3> kBitOfChange{puzzle::kColourBit, puzzle::kSizeBit, puzzle::kShapeBit};
    std::vector<qint16> numbers;
    for (std::size_t i = 0; i < kBitOfChange.size(); ++i) {
        if (model.rule().mask & kBitOfChange[i])
            numbers.push_back(qint16(i + 1));
    }
    if (numbers.empty())
        numbers.push_back(kNoChange);
    return numbers;
}

const Change* change(qint16 number) {
    return number >= 1 && number <= qint16(kChanges.size()) ? &kChanges[std::size_t(number - 1)] : nullptr;
}

}  // namespace

QStringList drawings(const exercise_catalogue::Exercise& exercise, const puzzle::PuzzleModel& model) {
    if (model.rule().kind == puzzle::RuleKind::FixedChange)
        return {QString::fromLatin1(exercise.drawing)};
    QStringList resources;
    for (const qint16 number : changeNumbers(model)) {
        if (const Change* shown = change(number))
            resources.append(QString::fromLatin1(shown->drawing));
    }
    return resources;
}

QStringList wordKeys(const puzzle::PuzzleModel& model) {
    QStringList keys;
    for (const qint16 number : changeNumbers(model)) {
        if (const Change* shown = change(number))
            keys.append(QString::fromLatin1(shown->word));
    }
    return keys;
}

QString sentence(const puzzle::PuzzleModel& model) {
    QStringList words;
    for (const QString& key : wordKeys(model))
        words.append(modLanguageSupport::MLSAccessibleText(key));
    return modLanguageSupport::MLSAccessibleFill(u"ChangeIs"_s, {words.join(u", "_s)});
}

}  // namespace changes_shown
