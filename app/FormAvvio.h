#pragma once
// The start screen: title, subtitle, the program's date and the button that
// leads to the main menu. Loading it reads the remembered language.

#include "Screen.h"

namespace app::form_avvio {
inline constexpr forms::ControlName Label2{"Label2"};  // title, subtitle and date, a control array
inline constexpr forms::ControlName BottoneAvvio{"BottoneAvvio"};
}  // namespace app::form_avvio

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
    void afterTranslation() override;

private:
    void BottoneAvvio_Click();
};

}  // namespace app
