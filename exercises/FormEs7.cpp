#include "FormEs7.h"

#include "PuzzleRules.h"
#include "SharedState.h"
#include "SpokenWords.h"

using namespace Qt::Literals::StringLiterals;

FormEs7::FormEs7() : FormEsercizio(7, u"0012"_s, QString::fromLatin1(spoken_words::kEverything)) {}

void FormEs7::PreparaEsercizio() {
    CaricaFigure();
    IndiceRisposta = qint16(Modulo1::IndiceModello ^ puzzle::kEveryBit);
    MostraModello();
}

std::optional<qint16> FormEs7::rightIndex() const {
    return IndiceRisposta;
}
