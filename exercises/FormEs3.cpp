#include "FormEs3.h"

#include "SharedState.h"
#include "SpokenWords.h"

using namespace Qt::Literals::StringLiterals;

FormEs3::FormEs3() : FormEsercizio(3, u"0004"_s, QString::fromLatin1(spoken_words::kSame)) {}

std::optional<qint16> FormEs3::rightIndex() const {
    return Modulo1::IndiceModello;
}
