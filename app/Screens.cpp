#include "Screens.h"

#include "ExerciseCatalogue.h"
#include "FormAvvio.h"
#include "FormChiGioca.h"
#include "FormEsercizio.h"
#include "FormMenu.h"

#include <memory>
#include <vector>

namespace screens {

platform::Screen& FormAvvio() {
    static app::FormAvvio instance;
    return instance;
}

platform::Screen& FormChiGioca() {
    static app::FormChiGioca instance;
    return instance;
}

platform::Screen& FormMenu() {
    static app::FormMenu instance;
    return instance;
}

namespace {

std::vector<std::unique_ptr<FormEsercizio>>& exercises() {
    static std::vector<std::unique_ptr<FormEsercizio>> instances(exercise_catalogue::catalogue().size());
    return instances;
}

}  // namespace

platform::Screen& exercise(int number) {
    std::unique_ptr<FormEsercizio>& instance = exercises().at(std::size_t(number - 1));
    if (!instance)
        instance = std::make_unique<FormEsercizio>(exercise_catalogue::exercise(number));
    return *instance;
}

void ResetCounts() {
    for (const std::unique_ptr<FormEsercizio>& instance : exercises())
        if (instance)
            instance->MenuAzzera_Click();
}

platform::Screen& FormEs1() {
    return exercise(1);
}
platform::Screen& FormEs2() {
    return exercise(2);
}
platform::Screen& FormEs3() {
    return exercise(3);
}
platform::Screen& FormEs4() {
    return exercise(4);
}
platform::Screen& FormEs5() {
    return exercise(5);
}
platform::Screen& FormEs6() {
    return exercise(6);
}
platform::Screen& FormEs7() {
    return exercise(7);
}

}  // namespace screens
