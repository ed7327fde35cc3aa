#include "ChangesShown.h"

#include "AccessibleTexts.h"

#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace changes_shown {

namespace {

using picture_code::kAttributes;
using picture_code::kNoChange;

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
    std::vector<qint16> numbers;
    for (const picture_code::AttributeCode& code : kAttributes) {
        if (model.rule().mask & code.bit)
            numbers.push_back(qint16(code.change.number));
    }
    if (numbers.empty())
        numbers.push_back(qint16(kNoChange.number));
    return numbers;
}

}  // namespace

Drawing drawing(const puzzle::PuzzleModel& model) {
    std::vector<int> masks;
    switch (model.rule().kind) {
    case puzzle::RuleKind::RandomChange:
        masks = {puzzle::changeBit(model.TipoCambiamento())};
        break;
    case puzzle::RuleKind::TwoChanges:
        masks = {puzzle::changeBit(model.PrimoCambiamento()), puzzle::changeBit(model.SecondoCambiamento())};
        break;
    case puzzle::RuleKind::FixedChange:
        masks = {model.rule().mask};
        break;
    }
    Drawing drawn{.model = model.IndiceModello(), .steps = {}};
    qint16 picture = drawn.model;
    for (const int mask : masks) {
        picture = qint16(picture ^ mask);
        drawn.steps.push_back({.picture = picture, .changes = mask != 0});
    }
    return drawn;
}

QStringList wordKeys(const puzzle::PuzzleModel& model) {
    QStringList keys;
    for (const qint16 number : changeNumbers(model)) {
        if (const picture_code::ChangeNames* names = picture_code::changeNamed(number))
            keys.append(QString::fromLatin1(names->word));
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
