#pragma once
// The rules of the seven exercises at every level, as plain functions of
// their inputs.
//
// The pictures of a set are coded by their index (PictureCode.h). A change of
// an attribute flips its bit, so every right answer is the model index XOR a
// mask of the changed attributes.

#include "PictureCode.h"
#include "PictureSets.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>
#include <functional>
#include <vector>

namespace rules {

// Returns numbers uniform in [0, 1); the program passes media::Rnd.
using Generator = std::function<double()>;

// How an exercise finds its right picture: a fixed mask of changed attributes,
// or a change (or two) drawn with every puzzle and named on the screen.
enum class RuleKind { FixedChange, RandomChange, TwoChanges };

struct Rule {
    RuleKind kind = RuleKind::FixedChange;
    int mask = 0;  // FixedChange: the bits in which the right picture differs from the model
};

// Which pictures a puzzle of a level shows, and in which order.
enum class Shown {
    Every,               // every picture of the level, in the order of their indices
    RightAndNeighbours,  // the right picture and those that differ from it in one attribute, in a drawn order
};

// A level of difficulty: its pictures differ in the first `attributes`
// attributes of the picture code.
struct Level {
    int number;
    int attributes;
    Shown shown;
    const char* everythingKey;  // the instruction key of the change of every attribute

    // The pictures the model is drawn among: 0 to pictures() - 1.
    constexpr int pictures() const { return resources::picture_code::picturesOf(attributes); }
    constexpr int shownCount() const { return shown == Shown::Every ? pictures() : attributes + 1; }
    // The change of every attribute.
    constexpr int everyBit() const { return resources::picture_code::bitsOf(attributes); }
};

// One row a level, numbered from 1.
inline constexpr std::array<Level, 3> kLevels{{
    {1, 3, Shown::RightAndNeighbours, "Everything"},
    {2, 3, Shown::Every, "Everything"},
    {3, 4, Shown::Every, "EverythingAndPattern"},
}};
inline constexpr int kDefaultLevel = 2;

// Level `number`; none for a number that is no level.
const Level* findLevel(int number);
const Level& defaultLevel();

using resources::picture_sets::kSetCount;
inline constexpr qint16 kAllSets = 6;  // SerieFigure value: a set drawn for every puzzle
// The pictures a puzzle shows at the default level.
inline constexpr int kPicturesPerSet = kLevels[kDefaultLevel - 1].shownCount();

inline constexpr int kColourBit = resources::picture_code::bitOf(resources::picture_code::Attribute::Colour);
inline constexpr int kSizeBit = resources::picture_code::bitOf(resources::picture_code::Attribute::Size);
inline constexpr int kShapeBit = resources::picture_code::bitOf(resources::picture_code::Attribute::Shape);
// The mask of the rule that changes every attribute, at every level.
inline constexpr int kEveryBit = kColourBit | kSizeBit | kShapeBit;

// The set of a puzzle: SerieFigure itself, or one of 1 to 5 drawn when it is 6.
qint16 drawSet(qint16 serieFigure, const Generator& rnd);
// The model index, 0 to level.pictures() - 1.
qint16 drawModel(const Level& level, const Generator& rnd);

// The drawn changes are numbered by the picture code: 1 colour, 2 size,
// 3 shape, 4 none, 5 pattern.
// The random change (TipoCambiamento) is one of kindsOfChange(level), each as
// likely: the changes of the level's attributes and no change, in the order
// of their numbers.
std::vector<qint16> kindsOfChange(const Level& level);
qint16 drawKindOfChange(const Level& level, const Generator& rnd);
// Each of two changes (PrimoCambiamento, SecondoCambiamento) is one of
// changesOf(level): the changes of the level's attributes, in the order of the
// picture code.
std::vector<qint16> changesOf(const Level& level);
qint16 drawChange(const Level& level, const Generator& rnd);

// The bit that a drawn change flips; none for no change and for a number that
// names no change.
int changeBit(qint16 change);
// The bits a fixed rule's mask changes at a level: those of the mask, the
// other attributes kept as in the model; the mask of every attribute
// (kEveryBit) changes every attribute of the level.
int fixedChangeBits(int mask, const Level& level);
// The model after each change (the bits it flips) in turn; the same change
// twice brings it back.
qint16 rightIndex(qint16 model, const std::vector<int>& changes);

// The pictures a puzzle shows, by their indices, in their order; `rnd` draws
// the order where the level draws it, after the model.
std::vector<qint16> drawShownPictures(const Level& level, qint16 right, const Generator& rnd);

// The number of the text that names a drawn change as the random change, as
// the first and as the second of two; empty for a number that names none.
QString kindOfChangeString(qint16 kind);
QString firstChangeString(qint16 change);
QString secondChangeString(qint16 change);

// The key of the spoken instruction for a puzzle's changes (the bits each
// flips) from the picture `model`: one change of nothing ("Same"), of one
// attribute ("Colour") or of every attribute of the level ("Everything"), or
// two changes of one attribute each, in their order ("ColourSize"); empty for
// any other. A change of stripes is named by the way it goes from the picture
// it starts from ("Stripes" adds them, "NoStripes" takes them away).
QString instructionKey(const std::vector<int>& changes, const Level& level, int model);
// Every instruction key an exercise may ask to say at a level.
QStringList allInstructionKeys(const Level& level);

// A count after one more answer: a 16-bit count stays at its largest value.
qint16 countAfterAnswer(qint16 count);
// A count as shown after an answer: the number with a leading blank, " 1".
QString countCaption(qint16 count);

}  // namespace rules
