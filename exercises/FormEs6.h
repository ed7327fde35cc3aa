#pragma once
// "Due metamorfine": every puzzle draws two changes (colour, size or shape,
// possibly the same one twice), names both in Label4 and wants the picture
// that both of them lead to.

#include "FormEsercizio.h"

class FormEs6 : public FormEsercizio {
public:
    FormEs6();

private:
    void PreparaEsercizio() override;
    std::optional<qint16> rightIndex() const override;
    QString instructionKey() const override;

    qint16 PrimoCambiamento = 0;           // 1 colour, 2 size, 3 shape
    qint16 SecondoCambiamento = 0;         // the same coding
    std::optional<qint16> IndiceRisposta;  // nothing before the first puzzle
};
