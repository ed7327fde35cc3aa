#include "Screens.h"

#include "ExerciseCatalogue.h"
#include "ExerciseScreen.h"
#include "FormAvvio.h"
#include "FormChiGioca.h"
#include "FormMenu.h"

#include <memory>
#include <vector>

namespace app::screens {

forms::Screen& FormAvvio() {
    static app::FormAvvio instance;
    return instance;
}

forms::Screen& FormChiGioca() {
    static app::FormChiGioca instance;
    return instance;
}

forms::Screen& FormMenu() {
    static app::FormMenu instance;
    return instance;
}

namespace {

std::vector<std::unique_ptr<ExerciseScreen>>& exercises() {
    static std::vector<std::unique_ptr<ExerciseScreen>> instances(exercises::exercise_catalogue::catalogue().size());
    return instances;
}

}  // namespace

forms::Screen& exercise(int number) {
    std::unique_ptr<ExerciseScreen>& instance = exercises().at(std::size_t(number - 1));
    if (!instance)
        instance = std::make_unique<ExerciseScreen>(exercises::exercise_catalogue::exercise(number));
    return *instance;
}

void ResetCounts() {
    for (const std::unique_ptr<ExerciseScreen>& instance : exercises())
        if (instance)
            instance->MenuAzzera_Click();
}

forms::Screen& FormEs1() {
    return exercise(1);
}
forms::Screen& FormEs2() {
    return exercise(2);
}
forms::Screen& FormEs3() {
    return exercise(3);
}
forms::Screen& FormEs4() {
    return exercise(4);
}
forms::Screen& FormEs5() {
    return exercise(5);
}
forms::Screen& FormEs6() {
    return exercise(6);
}
forms::Screen& FormEs7() {
    return exercise(7);
}

}  // namespace app::screens
