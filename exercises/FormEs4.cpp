#include "FormEs4.h"

#include "PuzzleRules.h"
#include "SharedState.h"

using namespace Qt::Literals::StringLiterals;

FormEs4::FormEs4() : FormEsercizio(4, u"0010"_s) {}

std::optional<qint16> FormEs4::rightIndex() const {
    return qint16(Modulo1::IndiceModello ^ puzzle::kSizeBit);
}
