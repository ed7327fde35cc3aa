#pragma once
// The main menu: the seven exercises, the picture set, the sound switch, the
// exit button and, on its menu bar, the choice of language.

#include "Screen.h"

namespace app {

class FormMenu : public platform::Screen {
public:
    FormMenu();
    static platform::ScreenDesign Design();

protected:
    void ConnectEvents() override;
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Resize() override;

private:
    void Command7_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Option1_Click(int Index);
    void Check1_Click();
    void BottoneEsci_Click();
    void OpenExercise(platform::Screen& exercise, const QString& button);
};

}  // namespace app
