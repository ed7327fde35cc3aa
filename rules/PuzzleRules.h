#pragma once
// The rules of the seven exercises as plain functions of their inputs.
//
// The pictures of a set are coded by their index (PictureCode.h). A change of
// an attribute flips its bit, so every right answer is the model index XOR a
// mask of the changed attributes.

#include "PictureCode.h"
#include "PictureSets.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <optional>

namespace puzzle {

// Returns numbers uniform in [0, 1); the program passes platform::Rnd.
using Generator = std::function<double()>;

// How an exercise finds its right picture: a fixed mask of changed attributes,
// or a change (or two) drawn with every puzzle and named on the screen.
enum class RuleKind { FixedChange, RandomChange, TwoChanges };

struct Rule {
    RuleKind kind = RuleKind::FixedChange;
    int mask = 0;  // FixedChange: the bits in which the right picture differs from the model
};

using picture_sets::kPicturesPerSet;
using picture_sets::kSetCount;
inline constexpr qint16 kAllSets = 6;  // SerieFigure value: a set drawn for every puzzle

inline constexpr int kColourBit = picture_code::bitOf(picture_code::Attribute::Colour);
inline constexpr int kSizeBit = picture_code::bitOf(picture_code::Attribute::Size);
inline constexpr int kShapeBit = picture_code::bitOf(picture_code::Attribute::Shape);
inline constexpr int kEveryBit = kColourBit | kSizeBit | kShapeBit;

// The bit that a drawn change flips, by the change's number in the picture
// code (1 colour, 2 size, 3 shape); none for anything else (4 is no change).
int changeBit(qint16 change);

// The set of a puzzle: SerieFigure itself, or one of 1 to 5 drawn when it is 6.
qint16 drawSet(qint16 serieFigure, const Generator& rnd);
// The model index, 0 to 7.
qint16 drawModel(const Generator& rnd);

// The random change (TipoCambiamento): 1 colour, 2 size, 3 shape, 4 none.
qint16 drawKindOfChange(const Generator& rnd);
// The number of the text that names a kind; empty outside 1 to 4.
QString kindOfChangeString(qint16 kind);
// The right index for a kind, nothing outside 1 to 4.
std::optional<qint16> rightIndexForKind(qint16 kind, qint16 model);

// One of two changes (PrimoCambiamento, SecondoCambiamento): 1 colour, 2 size, 3 shape.
qint16 drawChange(const Generator& rnd);
QString firstChangeString(qint16 change);
QString secondChangeString(qint16 change);
// Both changes applied to the model; the same change twice brings it back.
qint16 rightIndexForTwoChanges(qint16 first, qint16 second, qint16 model);

// The key of the spoken instruction: the change of a fixed mask ("Colour",
// "Same", "Everything"), a drawn kind of change, or two drawn changes in
// their order ("ColourSize"); empty for anything else.
QString instructionKey(int mask);
QString singleChangeKey(qint16 kind);
QString twoChangesKey(qint16 first, qint16 second);
// Every instruction key an exercise may ask to say.
QStringList allInstructionKeys();

// A count after one more answer: a 16-bit count stays at its largest value.
qint16 countAfterAnswer(qint16 count);
// A count as shown after an answer: the number with a leading blank, " 1".
QString countCaption(qint16 count);

}  // namespace puzzle
