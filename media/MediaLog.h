#pragma once
// The log of the sound and speech: what fails without the child
// seeing it. Quiet unless asked for, e.g. QT_LOGGING_RULES="metamorfine.media=true" (or
// "metamorfine.*=true" for every library).

#include <QLoggingCategory>

namespace media {

Q_DECLARE_LOGGING_CATEGORY(lcMedia)

}  // namespace media
