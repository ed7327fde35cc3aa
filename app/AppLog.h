#pragma once
// The log of the screens and of the program's run: what fails without the
// child seeing it. Quiet unless asked for, e.g.
// QT_LOGGING_RULES="metamorfine.app=true".

#include <QLoggingCategory>

namespace app {

Q_DECLARE_LOGGING_CATEGORY(lcApp)

}  // namespace app
