#pragma once
// The main menu: the seven exercises, the picture set, the level (unless the
// parent hides it), the sound switch, the exit button and, on its menu bar,
// the choice of language.

#include "Screen.h"

#include <QStringList>
#include <vector>

namespace exercises::exercise_catalogue {
struct Exercise;
}

// The controls of the menu besides the exercises' buttons, whose names the
// exercise catalogue gives.
namespace app::form_menu {
inline constexpr forms::ControlName BottoneEsci{"BottoneEsci"};
inline constexpr forms::ControlName Check1{"Check1"};
inline constexpr forms::ControlName Picture1{"Picture1"};        // the box of the picture sets
inline constexpr forms::ControlName Option1{"Option1"};          // the picture sets, a control array
inline constexpr forms::ControlName LevelBox{"LevelBox"};        // the box of the levels
inline constexpr forms::ControlName LevelOption{"LevelOption"};  // the levels, a control array: index = level - 1
inline constexpr forms::ControlName mnuLanguages{"mnuLanguages"};
inline constexpr forms::ControlName mnuLanguage{"mnuLanguage"};  // the languages, a control array
}  // namespace app::form_menu

namespace app {

// Opens exercise `number` (FormEs<number>), titled with its name.
void OpenExercise(int number);

class FormMenu : public forms::Screen {
public:
    FormMenu();
    static forms::ScreenDesign Design();
    // The keys of every sentence the program may say: the exercises'
    // instructions and names, the names of the picture sets, and of the
    // other choices that switch scanning reaches.
    static QStringList SpokenKeys();

protected:
    void ConnectEvents() override;
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Resize() override;
    void afterTranslation() override;

private:
    // The button of an exercise opens it.
    void ExerciseButton_Click(const exercises::exercise_catalogue::Exercise& exercise);
    void Option1_Click(int Index);
    // A level chosen: this run's, or the one a growing child goes on from.
    void LevelOption_Click(int Index);
    void Check1_Click();
    void BottoneEsci_Click();
    // The choices in the order switch scanning reaches them.
    std::vector<QWidget*> ScanOrder() const;
};

}  // namespace app
