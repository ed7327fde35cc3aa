#pragma once
// "Cambia forma": the picture of the other shape, same size and colour.

#include "FormEsercizio.h"

class FormEs2 : public FormEsercizio {
public:
    FormEs2();

private:
    std::optional<qint16> rightIndex() const override;
};
