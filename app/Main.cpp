#include "app/Modulo1.h"
#include "app/Screens.h"
#include "app/SharedState.h"
#include "language/modLanguageSupport.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "platform/Random.h"
#include "platform/Screen.h"

using namespace Qt::Literals::StringLiterals;

namespace Modulo1 {

bool Main() {
    if (!platform::AcquireSingleInstance()) {
        platform::MsgBox(modLanguageSupport::MLSGetString(u"0001"_s), platform::MsgButtons::Ok,
                         platform::MsgIcon::Critical, modLanguageSupport::MLSGetString(u"0002"_s));
        return false;
    }
    SerieFigure = 6;
    platform::Randomize();
    SuoniAttivati = true;
    app::shell() = {.showMenu = [] { screens::FormMenu().Show(); }, .showAbout = MostraInformazioni};
    screens::FormAvvio().Show();
    return true;
}

}  // namespace Modulo1
