#include "ExerciseCatalogue.h"

#include "DataFiles.h"
#include "GrowingLevel.h"
#include "Resources.h"
#include "modLanguageSupport.h"

#include <QtGlobal>
#include <algorithm>
#include <array>

using namespace Qt::Literals::StringLiterals;

namespace exercises::exercise_catalogue {

namespace {

using forms::ControlName;
using rules::Rule;
using rules::RuleKind;

constexpr Rule fixed(int mask) {
    return {.kind = RuleKind::FixedChange, .mask = mask};
}

// clang-format off
const std::array<Exercise, 7> kCatalogue{{
    {1, "FormEs1", ControlName{"Command7"}, "Cambia colore", {120, 240, 0},
     fixed(rules::kColourBit), "0013", resources::kRuleColour,
     {9360, 6540, {6840, 240, 2295, 2175}, {720, 840}, {4680, 840}, {3000, 840, 1095, 975},
      {7560, 5280}, {240, 2760, 7095, 3495}, "C", "CAMBIA COLORE", {1200, 120, 4695, 615}}},
    {2, "FormEs2", ControlName{"Command1"}, "Cambia forma", {120, 1680, 1},
     fixed(rules::kShapeBit), "0011", resources::kRuleShape,
     {9390, 6750, {6840, 240, 2295, 2175}, {600, 840}, {4560, 840}, {2880, 840, 1095, 975},
      {7440, 5280}, {120, 2760, 7095, 3495}, "F", "CAMBIA FORMA", {1080, 120, 4695, 615}}},
    {3, "FormEs3", ControlName{"Command2"}, "Non cambia niente", {120, 2400, 2},
     fixed(0), "0004", resources::kRuleNone,
     {9570, 6885, {6960, 240, 2295, 2175}, {720, 840}, {4680, 840}, {3000, 840, 1095, 975},
      {7560, 5280}, {240, 2760, 7095, 3495}, "N", "NON CAMBIA NIENTE", {1200, 120, 5415, 615}}},
    {4, "FormEs4", ControlName{"Command3"}, "Cambia dimensione", {120, 960, 4},
     fixed(rules::kSizeBit), "0010", resources::kRuleSize,
     {9765, 6810, {7080, 240, 2295, 2175}, {720, 840}, {4680, 840}, {3000, 840, 1095, 975},
      {7560, 5280}, {240, 2760, 7095, 3495}, "D", "CAMBIA DIMENSIONE", {960, 120, 5775, 615}}},
    {5, "FormEs5", ControlName{"Command4"}, "Cambiamento casuale", {120, 3120, 5},
     {.kind = RuleKind::RandomChange}, "0009", resources::kRuleRandom,
     {9435, 6720, {6960, 240, 2295, 2175}, {720, 720}, {4680, 720}, {3000, 720, 1095, 975},
      {7560, 5160}, {240, 2640, 7095, 3495}, "C", "CAMBIAMENTO CASUALE", {840, 60, 5895, 615}}},
    {6, "FormEs6", ControlName{"Command5"}, "Due metamorfine", {4560, 240, 14},
     {.kind = RuleKind::TwoChanges}, "0020", resources::kRuleTwo,
     {9360, 6540, {7080, 240, 2175, 2175}, {360, 720}, {5040, 720}, {2520, 720, 2055, 975},
      {7560, 5280}, {240, 2760, 7095, 3495}, "CF", "DUE CAMBIAMENTI", {840, 60, 5895, 615}}},
    {7, "FormEs7", ControlName{"Command6"}, "Cambia tutto", {4560, 960, 15},
     fixed(rules::kEveryBit), "0012", resources::kRuleAll,
     {9360, 6540, {6960, 240, 2295, 2175}, {360, 720}, {5040, 720}, {2400, 720, 2295, 975},
      {7560, 5280}, {240, 2760, 7095, 3495}, "FCD", "CAMBIA TUTTO", {840, 60, 5895, 615}}},
}};
// clang-format on

}  // namespace

std::span<const Exercise> catalogue() {
    return kCatalogue;
}

const Exercise& exercise(int number) {
    const auto row = std::find_if(kCatalogue.begin(), kCatalogue.end(),
                                  [number](const Exercise& exercise) { return exercise.number == number; });
    Q_ASSERT(row != kCatalogue.end());
    return *row;
}

QString exerciseName(const Exercise& exercise) {
    const QString file = files::languageFilePath(modLanguageSupport::MLSCurrentLanguage);
    const auto text = [&file](const QString& section, const QString& key) {
        return modLanguageSupport::MLSReadIni(file, section, key).value_or(QString()).trimmed();
    };
    QString name = text(u"FormMenu"_s, QString::fromLatin1(exercise.menuButton.text()) % u".Caption");
    if (name.isEmpty())
        name = text(QString::fromLatin1(exercise.form),
                    QString::fromLatin1(exercises::exercise_layout::Label3.text()) % u".Caption");
    return name.isEmpty() ? QString::fromUtf8(exercise.menuCaption) : name;
}

QStringList spokenKeys() {
    QStringList keys;
    for (const rules::Level& level : rules::kLevels)
        keys += rules::allInstructionKeys(level);
    keys.removeDuplicates();
    keys += praiseKeys() + exercises::growing_level::spokenKeys();
    for (const Exercise& exercise : kCatalogue)
        keys.append(QString::fromLatin1(exercise.menuButton.text()));
    return keys;
}

QStringList praiseKeys() {
    return {u"Praise1"_s, u"Praise2"_s, u"Praise3"_s, u"Praise4"_s};
}

}  // namespace exercises::exercise_catalogue
