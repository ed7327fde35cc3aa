#include "FormEs1.h"

#include "PuzzleRules.h"
#include "SharedState.h"
#include "SpokenWords.h"

using namespace Qt::Literals::StringLiterals;

FormEs1::FormEs1() : FormEsercizio(1, u"0013"_s, QString::fromLatin1(spoken_words::kColour)) {}

std::optional<qint16> FormEs1::rightIndex() const {
    return qint16(Modulo1::IndiceModello ^ puzzle::kColourBit);
}
