#include "exercises/FormEs5.h"

#include "app/SharedState.h"
#include "exercises/PuzzleRules.h"
#include "language/modLanguageSupport.h"
#include "platform/Random.h"

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
