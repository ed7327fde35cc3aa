#include "FormEs5.h"

#include "PuzzleRules.h"
#include "Random.h"
#include "SharedState.h"
#include "SpokenWords.h"
#include "modLanguageSupport.h"

using namespace Qt::Literals::StringLiterals;

FormEs5::FormEs5() : FormEsercizio(5, u"0009"_s) {}

void FormEs5::PreparaEsercizio() {
    TipoCambiamento = puzzle::drawKindOfChange(platform::Rnd);
    control(u"Label4"_s)
        .setText(platform::TextProperty::Caption,
                 modLanguageSupport::MLSGetString(puzzle::kindOfChangeString(TipoCambiamento)));
    FormEsercizio::PreparaEsercizio();
}

std::optional<qint16> FormEs5::rightIndex() const {
    return puzzle::rightIndexForKind(TipoCambiamento, Modulo1::IndiceModello);
}

QString FormEs5::instructionKey() const {
    return spoken_words::singleChangeKey(TipoCambiamento);
}
