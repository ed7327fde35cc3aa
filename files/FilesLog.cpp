#include "FilesLog.h"

namespace platform {

// Only critical messages are on by default.
Q_LOGGING_CATEGORY(lcFiles, "metamorfine.files", QtCriticalMsg)

}  // namespace platform
