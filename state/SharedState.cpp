#include "SharedState.h"

#include "clsResize.h"

namespace Modulo1 {

bool SuoniAttivati = true;
qint16 SerieFigure = 6;
qint16 IndiceModello = 0;
qint16 ContaEsatti = 0;
qint16 ContaErrati = 0;
std::unique_ptr<clsResize> Ridimensiona;

}  // namespace Modulo1

namespace app {

ShellCallbacks& shell() {
    static ShellCallbacks callbacks;
    return callbacks;
}

}  // namespace app
