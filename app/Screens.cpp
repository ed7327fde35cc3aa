#include "Screens.h"

#include "ExerciseCatalogue.h"
#include "FormAvvio.h"
#include "FormEsercizio.h"
#include "FormMenu.h"

#include <memory>
#include <vector>

namespace screens {

platform::Screen& FormAvvio() {
    static app::FormAvvio instance;
    return instance;
}

platform::Screen& FormMenu() {
    static app::FormMenu instance;
    return instance;
}

platform::Screen& exercise(int number) {
    static std::vector<std::unique_ptr<FormEsercizio>> instances(exercise_catalogue::catalogue().size());
    std::unique_ptr<FormEsercizio>& instance = instances.at(std::size_t(number - 1));
    if (!instance)
        instance = std::make_unique<FormEsercizio>(exercise_catalogue::exercise(number));
    return *instance;
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
