#pragma once
// "Cambia colore": the picture of the other colour, same size and shape.

#include "FormEsercizio.h"

class FormEs1 : public FormEsercizio {
public:
    FormEs1();

private:
    std::optional<qint16> rightIndex() const override;
};
