#include "AppLog.h"

namespace app {

// Only critical messages are on by default.
Q_LOGGING_CATEGORY(lcApp, "metamorfine.app", QtCriticalMsg)

}  // namespace app
