#include "FormEs3.h"

#include "SharedState.h"

using namespace Qt::Literals::StringLiterals;

FormEs3::FormEs3() : FormEsercizio(3, u"0004"_s) {}

std::optional<qint16> FormEs3::rightIndex() const {
    return Modulo1::IndiceModello;
}
