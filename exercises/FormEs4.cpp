#include "exercises/FormEs4.h"

#include "app/SharedState.h"
#include "exercises/PuzzleRules.h"

using namespace Qt::Literals::StringLiterals;

FormEs4::FormEs4() : FormEsercizio(4, u"0010"_s) {}

std::optional<qint16> FormEs4::rightIndex() const {
    return qint16(Modulo1::IndiceModello ^ puzzle::kSizeBit);
}
