#pragma once
// Who is playing: a big button for each child, their picture and their name,
// shown after the start screen when the parent has made children. Reaching a
// button says the child's name; the arrows, Tab and switch scanning go
// through them as they stand. Choosing one leads to the main menu.

#include "Screen.h"

namespace app::form_chi_gioca {
inline constexpr forms::ControlName Label1{"Label1"};            // the question
inline constexpr forms::ControlName ChildButton{"ChildButton"};  // a control array, one for each child
}  // namespace app::form_chi_gioca

namespace app {

class FormChiGioca : public forms::Screen {
public:
    FormChiGioca();
    static forms::ScreenDesign Design();

protected:
    void ConnectEvents() override;
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Resize() override;
    void afterTranslation() override;

private:
    void ChildButton_Click(int index);
    void layButtons();
};

}  // namespace app
