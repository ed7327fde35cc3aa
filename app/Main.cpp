#include "MessageBox.h"
#include "Modulo1.h"
#include "Process.h"
#include "Random.h"
#include "Resources.h"
#include "Screen.h"
#include "Screens.h"
#include "SharedState.h"
#include "SvgDrawing.h"
#include "modLanguageSupport.h"

#include <QGuiApplication>

using namespace Qt::Literals::StringLiterals;

namespace Modulo1 {

bool Main() {
    QGuiApplication::setWindowIcon(platform::iconFromResource(resources::kStartIcon));
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
