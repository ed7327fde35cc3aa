#pragma once
// "Non cambia niente": the very picture of the model.

#include "FormEsercizio.h"

class FormEs3 : public FormEsercizio {
public:
    FormEs3();

private:
    std::optional<qint16> rightIndex() const override;
};
