#include "FormEs4.h"

#include "PuzzleRules.h"
#include "SharedState.h"
#include "SpokenWords.h"

using namespace Qt::Literals::StringLiterals;

FormEs4::FormEs4() : FormEsercizio(4, u"0010"_s, QString::fromLatin1(spoken_words::kSize)) {}

std::optional<qint16> FormEs4::rightIndex() const {
    return qint16(Modulo1::IndiceModello ^ puzzle::kSizeBit);
}
