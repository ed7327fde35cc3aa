#include "FormEs6.h"

#include "PuzzleRules.h"
#include "Random.h"
#include "SharedState.h"
#include "SpokenWords.h"
#include "modLanguageSupport.h"

using namespace Qt::Literals::StringLiterals;
using modLanguageSupport::MLSGetString;
using platform::TextProperty;

FormEs6::FormEs6() : FormEsercizio(6, u"0020"_s) {}

void FormEs6::PreparaEsercizio() {
    PrimoCambiamento = puzzle::drawChange(platform::Rnd);
    SecondoCambiamento = puzzle::drawChange(platform::Rnd);
    platform::Control& label = control(u"Label4"_s);
    label.setText(TextProperty::Caption, MLSGetString(puzzle::firstChangeString(PrimoCambiamento)));
    label.setText(TextProperty::Caption, label.text(TextProperty::Caption).value_or(QString()) % u' ' %
                                             MLSGetString(puzzle::secondChangeString(SecondoCambiamento)));
    CaricaFigure();
    IndiceRisposta = puzzle::rightIndexForTwoChanges(PrimoCambiamento, SecondoCambiamento, Modulo1::IndiceModello);
    MostraModello();
}

std::optional<qint16> FormEs6::rightIndex() const {
    return IndiceRisposta;
}

QString FormEs6::instructionKey() const {
    return spoken_words::twoChangesKey(PrimoCambiamento, SecondoCambiamento);
}
