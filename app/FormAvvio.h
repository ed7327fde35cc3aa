#pragma once
// The start screen: title, subtitle, the program's date and the button that
// leads to the main menu. Loading it reads the remembered language.

#include "Screen.h"

namespace app {

class FormAvvio : public forms::Screen {
public:
    FormAvvio();
    static forms::ScreenDesign Design();

protected:
    void ConnectEvents() override;
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Resize() override;
    void nameForAssistiveTechnology() override;

private:
    void BottoneAvvio_Click();
};

}  // namespace app
