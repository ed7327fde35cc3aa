#include "SharedState.h"

#include "PuzzleModel.h"
#include "clsResize.h"

#include <QPointer>

namespace Modulo1 {

bool SuoniAttivati = true;
qint16 SerieFigure = 6;
qint16 IndiceModello = 0;
std::unique_ptr<clsResize> Ridimensiona;

namespace {

QPointer<const rules::PuzzleModel>& visited() {
    static QPointer<const rules::PuzzleModel> puzzle;
    return puzzle;
}

}  // namespace

qint16 ContaEsatti() {
    return visited() ? visited()->ContaEsatti() : 0;
}

qint16 ContaErrati() {
    return visited() ? visited()->ContaErrati() : 0;
}

void setVisitedPuzzle(const rules::PuzzleModel* puzzle) {
    visited() = puzzle;
}

}  // namespace Modulo1

namespace state {

ShellCallbacks& shell() {
    static ShellCallbacks callbacks;
    return callbacks;
}

}  // namespace state
