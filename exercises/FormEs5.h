#pragma once
// "Cambiamento casuale": every puzzle draws a kind of change (colour, size,
// shape or none), names it in Label4 and wants the picture it leads to.

#include "FormEsercizio.h"

class FormEs5 : public FormEsercizio {
public:
    FormEs5();

private:
    void PreparaEsercizio() override;
    std::optional<qint16> rightIndex() const override;
    QString instructionKey() const override;

    qint16 TipoCambiamento = 0;  // 1 colour, 2 size, 3 shape, 4 none; 0 before the first puzzle
};
