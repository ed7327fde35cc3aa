#pragma once
// "Cambia tutto": the picture that differs from the model in colour, size and
// shape at once.

#include "FormEsercizio.h"

class FormEs7 : public FormEsercizio {
public:
    FormEs7();

private:
    void PreparaEsercizio() override;
    std::optional<qint16> rightIndex() const override;

    std::optional<qint16> IndiceRisposta;  // nothing before the first puzzle
};
