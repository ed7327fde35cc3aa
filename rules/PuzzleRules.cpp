#include "PuzzleRules.h"

#include "Random.h"

#include <array>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace puzzle {

namespace {

qint16 drawAmong(const Generator& rnd, int n, int first) {
    return qint16(first + platform::IndexFrom(rnd(), n));
}

// The names of the single changes, 1 colour, 2 size, 3 shape, as the
// instruction keys spell them.
const std::array<QString, 3> kChangeNames{u"Colour"_s, u"Size"_s, u"Shape"_s};
const QString kSameKey = u"Same"_s;
const QString kEverythingKey = u"Everything"_s;

bool isChange(qint16 change) {
    return change >= 1 && change <= qint16(kChangeNames.size());
}

QString changeString(qint16 change, int firstNumber) {
    if (change < 1 || change > 3)
        return {};
    return u"%1"_s.arg(firstNumber + change - 1, 4, 10, QLatin1Char('0'));
}

}  // namespace

int changeBit(qint16 change) {
    switch (change) {
    case 1:
        return kColourBit;
    case 2:
        return kSizeBit;
    case 3:
        return kShapeBit;
    default:
        return 0;
    }
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
    if (kind < 1 || kind > 4)
        return {};
    return u"%1"_s.arg(4 + kind, 4, 10, QLatin1Char('0'));
}

std::optional<qint16> rightIndexForKind(qint16 kind, qint16 model) {
    if (kind < 1 || kind > 4)
        return std::nullopt;
    return qint16(model ^ changeBit(kind));  // kind 4, no change, flips nothing
}

qint16 drawChange(const Generator& rnd) {
    return drawAmong(rnd, 3, 1);
}

QString firstChangeString(qint16 change) {
    return changeString(change, 14);
}

QString secondChangeString(qint16 change) {
    return changeString(change, 17);
}

qint16 rightIndexForTwoChanges(qint16 first, qint16 second, qint16 model) {
    return qint16(model ^ changeBit(first) ^ changeBit(second));
}

QString instructionKey(int mask) {
    switch (mask) {
    case 0:
        return kSameKey;
    case kColourBit:
        return kChangeNames[0];
    case kSizeBit:
        return kChangeNames[1];
    case kShapeBit:
        return kChangeNames[2];
    case kEveryBit:
        return kEverythingKey;
    default:
        return {};
    }
}

QString singleChangeKey(qint16 kind) {
    if (isChange(kind))
        return kChangeNames[std::size_t(kind - 1)];
    return kind == 4 ? kSameKey : QString();
}

QString twoChangesKey(qint16 first, qint16 second) {
    if (!isChange(first) || !isChange(second))
        return {};
    return kChangeNames[std::size_t(first - 1)] + kChangeNames[std::size_t(second - 1)];
}

QStringList allInstructionKeys() {
    QStringList keys{kChangeNames.begin(), kChangeNames.end()};
    keys << kSameKey << kEverythingKey;
    for (qint16 first = 1; first <= 3; ++first) {
        for (qint16 second = 1; second <= 3; ++second)
            keys << twoChangesKey(first, second);
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
