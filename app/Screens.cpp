#include "Screens.h"

#include "FormAvvio.h"
#include "FormEs1.h"
#include "FormEs2.h"
#include "FormEs3.h"
#include "FormEs4.h"
#include "FormEs5.h"
#include "FormEs6.h"
#include "FormEs7.h"
#include "FormMenu.h"

namespace screens {

namespace {

template <typename ScreenClass>
platform::Screen& Instance() {
    static ScreenClass instance;
    return instance;
}

}  // namespace

platform::Screen& FormAvvio() {
    return Instance<app::FormAvvio>();
}
platform::Screen& FormMenu() {
    return Instance<app::FormMenu>();
}
platform::Screen& FormEs1() {
    return Instance<::FormEs1>();
}
platform::Screen& FormEs2() {
    return Instance<::FormEs2>();
}
platform::Screen& FormEs3() {
    return Instance<::FormEs3>();
}
platform::Screen& FormEs4() {
    return Instance<::FormEs4>();
}
platform::Screen& FormEs5() {
    return Instance<::FormEs5>();
}
platform::Screen& FormEs6() {
    return Instance<::FormEs6>();
}
platform::Screen& FormEs7() {
    return Instance<::FormEs7>();
}

}  // namespace screens
