#pragma once
// The log of the language files and the language choice: what fails without the child
// seeing it. Quiet unless asked for, e.g. QT_LOGGING_RULES="metamorfine.language=true" (or
// "metamorfine.*=true" for every library).

#include <QLoggingCategory>

namespace modLanguageSupport {

Q_DECLARE_LOGGING_CATEGORY(lcLanguage)

}  // namespace modLanguageSupport
