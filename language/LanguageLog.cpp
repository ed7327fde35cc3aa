#include "LanguageLog.h"

namespace modLanguageSupport {

// Only critical messages are on by default.
Q_LOGGING_CATEGORY(lcLanguage, "metamorfine.language", QtCriticalMsg)

}  // namespace modLanguageSupport
