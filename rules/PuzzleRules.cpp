#include "PuzzleRules.h"

#include "Random.h"

#include <algorithm>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace rules {

namespace {

qint16 drawAmong(const Generator& rnd, int n, int first) {
    return qint16(first + media::IndexFrom(rnd(), n));
}

using resources::picture_code::AttributeCode;
using resources::picture_code::ChangeNames;
using resources::picture_code::kAttributes;
using resources::picture_code::kNoChange;
using resources::picture_code::valueOf;

QString text(const char* name) {
    return name ? QString::fromLatin1(name) : QString();
}

// One text of a drawn change (`of` picks it from its names); none for a
// number that names no change.
QString changeText(qint16 change, const char* ChangeNames::*of) {
    const ChangeNames* names = resources::picture_code::changeNamed(change);
    return names ? text(names->*of) : QString();
}

}  // namespace

const Level* findLevel(int number) {
    const auto level =
        std::find_if(kLevels.begin(), kLevels.end(), [number](const Level& level) { return level.number == number; });
    return level == kLevels.end() ? nullptr : &*level;
}

const Level& defaultLevel() {
    return *findLevel(kDefaultLevel);
}

qint16 drawSet(qint16 serieFigure, const Generator& rnd) {
    return serieFigure == kAllSets ? drawAmong(rnd, kSetCount, 1) : serieFigure;
}

qint16 drawModel(const Level& level, const Generator& rnd) {
    return drawAmong(rnd, level.pictures(), 0);
}

std::vector<qint16> kindsOfChange(const Level& level) {
    std::vector<qint16> kinds = changesOf(level);
    kinds.push_back(qint16(kNoChange.number));
    std::sort(kinds.begin(), kinds.end());
    return kinds;
}

qint16 drawKindOfChange(const Level& level, const Generator& rnd) {
    const std::vector<qint16> kinds = kindsOfChange(level);
    return kinds[std::size_t(drawAmong(rnd, int(kinds.size()), 0))];
}

std::vector<qint16> changesOf(const Level& level) {
    std::vector<qint16> changes;
    for (int i = 0; i < level.attributes; ++i)
        changes.push_back(qint16(kAttributes[std::size_t(i)].change.number));
    return changes;
}

qint16 drawChange(const Level& level, const Generator& rnd) {
    return qint16(kAttributes[std::size_t(drawAmong(rnd, level.attributes, 0))].change.number);
}

int changeBit(qint16 change) {
    const AttributeCode* code = resources::picture_code::attributeChangedBy(change);
    return code ? code->bit : 0;
}

int fixedChangeBits(int mask, const Level& level) {
    return mask == kEveryBit ? level.everyBit() : mask;
}

qint16 rightIndex(qint16 model, const std::vector<int>& changes) {
    for (const int bits : changes)
        model = qint16(model ^ bits);
    return model;
}

std::vector<qint16> drawShownPictures(const Level& level, qint16 right, const Generator& rnd) {
    std::vector<qint16> shown;
    if (level.shown == Shown::Every) {
        for (int index = 0; index < level.pictures(); ++index)
            shown.push_back(qint16(index));
        return shown;
    }
    shown.push_back(right);
    for (int i = 0; i < level.attributes; ++i)
        shown.push_back(qint16(right ^ kAttributes[std::size_t(i)].bit));
    // Each order equally likely: each place from the last takes one of the
    // pictures not yet placed.
    for (std::size_t place = shown.size() - 1; place > 0; --place)
        std::swap(shown[place], shown[std::size_t(drawAmong(rnd, int(place) + 1, 0))]);
    return shown;
}

QString kindOfChangeString(qint16 kind) {
    return changeText(kind, &ChangeNames::asKind);
}

QString firstChangeString(qint16 change) {
    return changeText(change, &ChangeNames::asFirst);
}

QString secondChangeString(qint16 change) {
    return changeText(change, &ChangeNames::asSecond);
}

QString instructionKey(const std::vector<int>& changes, const Level& level, int model) {
    int before = model;  // the picture each change starts from
    const auto nameOf = [&before](int bits) -> QString {
        if (bits == 0)
            return text(kNoChange.instruction);
        for (const AttributeCode& code : kAttributes) {
            if (bits != code.bit)
                continue;
            const char* fromValue = code.instructionFrom[std::size_t(valueOf(before, code.attribute))];
            before ^= bits;
            return text(fromValue != nullptr ? fromValue : code.change.instruction);
        }
        return {};
    };
    if (changes.size() == 1)
        return changes[0] == level.everyBit() ? text(level.everythingKey) : nameOf(changes[0]);
    if (changes.size() != 2 || changes[0] == 0 || changes[1] == 0)
        return {};
    const QString first = nameOf(changes[0]);
    const QString second = nameOf(changes[1]);
    return first.isEmpty() || second.isEmpty() ? QString() : first + second;
}

QStringList allInstructionKeys(const Level& level) {
    const std::vector<qint16> changes = changesOf(level);
    QStringList keys;
    for (int model = 0; model < level.pictures(); ++model) {
        for (const qint16 change : kindsOfChange(level))
            keys << instructionKey({changeBit(change)}, level, model);
        keys << instructionKey({level.everyBit()}, level, model);
        for (const qint16 first : changes) {
            for (const qint16 second : changes)
                keys << instructionKey({changeBit(first), changeBit(second)}, level, model);
        }
    }
    keys.removeDuplicates();
    return keys;
}

qint16 countAfterAnswer(qint16 count) {
    return count == std::numeric_limits<qint16>::max() ? count : qint16(count + 1);
}

QString countCaption(qint16 count) {
    return count < 0 ? QString::number(count) : u' ' % QString::number(count);
}

}  // namespace rules
