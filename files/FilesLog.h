#pragma once
// The log of the data files and pictures: what fails without the child
// seeing it. Quiet unless asked for, e.g. QT_LOGGING_RULES="metamorfine.files=true" (or
// "metamorfine.*=true" for every library).

#include <QLoggingCategory>

namespace files {

Q_DECLARE_LOGGING_CATEGORY(lcFiles)

}  // namespace files
