#include "PuzzleRules.h"

#include "Random.h"

#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace puzzle {

namespace {

qint16 drawAmong(const Generator& rnd, int n, int first) {
    return qint16(first + platform::IndexFrom(rnd(), n));
}

using picture_code::AttributeCode;
using picture_code::ChangeNames;
using picture_code::kAttributes;
using picture_code::kNoChange;

const QString kEverythingKey = u"Everything"_s;

QString text(const char* name) {
    return name ? QString::fromLatin1(name) : QString();
}

// One text of a drawn change (`of` picks it from its names); none for a
// number that names no change.
QString changeText(qint16 change, const char* ChangeNames::*of) {
    const ChangeNames* names = picture_code::changeNamed(change);
    return names ? text(names->*of) : QString();
}

}  // namespace

int changeBit(qint16 change) {
    const AttributeCode* code = picture_code::attributeChangedBy(change);
    return code ? code->bit : 0;
}

qint16 drawSet(qint16 serieFigure, const Generator& rnd) {
    return serieFigure == kAllSets ? drawAmong(rnd, kSetCount, 1) : serieFigure;
}

qint16 drawModel(const Generator& rnd) {
    return drawAmong(rnd, kPicturesPerSet, 0);
}

qint16 drawKindOfChange(const Generator& rnd) {
    return drawAmong(rnd, 4, 1);
}

QString kindOfChangeString(qint16 kind) {
    return changeText(kind, &ChangeNames::asKind);
}

std::optional<qint16> rightIndexForKind(qint16 kind, qint16 model) {
    if (!picture_code::changeNamed(kind))
        return std::nullopt;
    return qint16(model ^ changeBit(kind));  // no change flips nothing
}

qint16 drawChange(const Generator& rnd) {
    return drawAmong(rnd, 3, 1);
}

QString firstChangeString(qint16 change) {
    return changeText(change, &ChangeNames::asFirst);
}

QString secondChangeString(qint16 change) {
    return changeText(change, &ChangeNames::asSecond);
}

qint16 rightIndexForTwoChanges(qint16 first, qint16 second, qint16 model) {
    return qint16(model ^ changeBit(first) ^ changeBit(second));
}

QString instructionKey(int mask) {
    if (mask == 0)
        return text(kNoChange.instruction);
    if (mask == kEveryBit)
        return kEverythingKey;
    for (const AttributeCode& code : kAttributes) {
        if (mask == code.bit)
            return text(code.change.instruction);
    }
    return {};
}

QString singleChangeKey(qint16 kind) {
    return changeText(kind, &ChangeNames::instruction);
}

QString twoChangesKey(qint16 first, qint16 second) {
    if (!picture_code::attributeChangedBy(first) || !picture_code::attributeChangedBy(second))
        return {};
    return singleChangeKey(first) + singleChangeKey(second);
}

QStringList allInstructionKeys() {
    QStringList keys;
    for (const AttributeCode& code : kAttributes)
        keys << text(code.change.instruction);
    keys << text(kNoChange.instruction) << kEverythingKey;
    for (const AttributeCode& first : kAttributes) {
        for (const AttributeCode& second : kAttributes)
            keys << twoChangesKey(qint16(first.change.number), qint16(second.change.number));
    }
    return keys;
}

qint16 countAfterAnswer(qint16 count) {
    return count == std::numeric_limits<qint16>::max() ? count : qint16(count + 1);
}

QString countCaption(qint16 count) {
    return count < 0 ? QString::number(count) : u' ' % QString::number(count);
}

}  // namespace puzzle
