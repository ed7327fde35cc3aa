#include "FormEs2.h"

#include "PuzzleRules.h"
#include "SharedState.h"
#include "SpokenWords.h"

using namespace Qt::Literals::StringLiterals;

FormEs2::FormEs2() : FormEsercizio(2, u"0011"_s, QString::fromLatin1(spoken_words::kShape)) {}

std::optional<qint16> FormEs2::rightIndex() const {
    return qint16(Modulo1::IndiceModello ^ puzzle::kShapeBit);
}
