#include "MediaLog.h"

namespace platform {

// Only critical messages are on by default.
Q_LOGGING_CATEGORY(lcMedia, "metamorfine.media", QtCriticalMsg)

}  // namespace platform
