#pragma once
// "Cambia dimensione": the picture of the other size, same shape and colour.

#include "FormEsercizio.h"

class FormEs4 : public FormEsercizio {
public:
    FormEs4();

private:
    std::optional<qint16> rightIndex() const override;
};
