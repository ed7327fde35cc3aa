#include "MediaLog.h"

namespace media {

// Only critical messages are on by default.
Q_LOGGING_CATEGORY(lcMedia, "metamorfine.media", QtCriticalMsg)

}  // namespace media
