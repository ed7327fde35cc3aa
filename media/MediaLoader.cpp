#include "MediaLoader.h"

#include "DataFiles.h"
#include "MediaBackend.h"
#include "MediaLog.h"

#include <QCoreApplication>
#include <QPluginLoader>

using namespace Qt::Literals::StringLiterals;

namespace platform {
namespace {

MediaBackend* backend = nullptr;
bool tried = false;

}  // namespace

MediaBackend* loadedMediaBackend() {
    return backend;
}

MediaBackend* mediaBackend() {
    if (tried || !QCoreApplication::instance())
        return backend;
    tried = true;
    const QString folder = ProgramFolder();
    QStringList errors;
    for (const QString& candidate : {folder, QString(folder % u"/../lib/metamorfine"_s)}) {
        // The loader adds the platform's prefix and suffix to the base name.
        QPluginLoader loader(candidate % u"/metamorfine-media"_s);
        backend = qobject_cast<MediaBackend*>(loader.instance());
        if (backend)
            return backend;
        errors += candidate % u": "_s % loader.errorString();
    }
    qCWarning(lcMedia, "no media plugin, no sound or speech: %s", qUtf8Printable(errors.join(u"; "_s)));
    return backend;
}

}  // namespace platform
