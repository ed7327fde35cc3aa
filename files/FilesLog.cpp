#include "FilesLog.h"

namespace files {

// Only critical messages are on by default.
Q_LOGGING_CATEGORY(lcFiles, "metamorfine.files", QtCriticalMsg)

}  // namespace files
