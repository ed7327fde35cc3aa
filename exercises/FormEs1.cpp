#include "exercises/FormEs1.h"

#include "app/SharedState.h"
#include "exercises/PuzzleRules.h"

using namespace Qt::Literals::StringLiterals;

FormEs1::FormEs1() : FormEsercizio(1, u"0013"_s) {}

std::optional<qint16> FormEs1::rightIndex() const {
    return qint16(Modulo1::IndiceModello ^ puzzle::kColourBit);
}
