#include "MediaLoader.h"

#include "DataFiles.h"
#include "MediaBackend.h"
#include "MediaLog.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QPluginLoader>
#include <QThread>
#include <atomic>
#include <mutex>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace platform {
namespace {

std::once_flag loading;
std::atomic<MediaBackend*> backend = nullptr;
// Main thread only.
QThread* preparer = nullptr;
// How long the end of a run that did not finish the media itself (a test, a
// benchmark) waits for them.
constexpr int kExitDeadlineMs = 500;

// Owned by this user or by root, and writable by nobody else.
bool safeFromOtherUsers(const QFileInfo& info) {
    const bool ownOrRoot = info.ownerId() == ::getuid() || info.ownerId() == 0;
    return info.exists() && ownOrRoot && !(info.permissions() & (QFile::WriteGroup | QFile::WriteOther));
}

void load() {
    const QString file = mediaPluginFile();
    QPluginLoader loader(file);
    // A thread of the plugin that waits on a server that never answers is
    // left running at the end; its code must stay mapped until the process is gone.
    loader.setLoadHints(QLibrary::PreventUnloadHint);
    QObject* instance = file.isEmpty() ? nullptr : loader.instance();
    auto* media = qobject_cast<MediaBackend*>(instance);
    if (!media) {
        qCWarning(lcMedia, "no media plugin, no sound or speech: looked in %s and %s; %s",
                  qUtf8Printable(executableFolder()), MF_MEDIA_PLUGIN_FOLDER,
                  qUtf8Printable(file.isEmpty() ? u"none usable"_s : loader.errorString()));
        return;
    }
    // Made on whichever thread loaded it; it belongs to the main thread, which
    // plays the sounds.
    instance->moveToThread(QCoreApplication::instance()->thread());
    backend = media;
    // Sound and speech end while the application object still exists: the
    // audio library's own objects are gone by the time the plugin is unloaded.
    qAddPostRoutine([] {
        if (!finishMedia(kExitDeadlineMs))
            qCWarning(lcMedia, "sound or speech still busy at the end of the run");
    });
}

}  // namespace

QString mediaPluginFile() {
    const QString name = QStringLiteral(MF_MEDIA_PLUGIN_NAME);
    QFileInfo plugin(executableFolder() % u'/' % name);
    if (!plugin.exists())
        plugin.setFile(QStringLiteral(MF_MEDIA_PLUGIN_FOLDER) % u'/' % name);
    const bool usable = safeFromOtherUsers(plugin) && safeFromOtherUsers(QFileInfo(plugin.absolutePath()));
    return usable ? plugin.filePath() : QString();
}

MediaBackend* mediaBackend() {
    if (!QCoreApplication::instance())
        return nullptr;
    std::call_once(loading, load);
    return backend;
}

void prepareMedia(const QString& locale) {
    if (preparer || !QCoreApplication::instance())
        return;
    preparer = QThread::create([locale] {
        if (MediaBackend* media = mediaBackend())
            media->prepare(locale);
    });
    preparer->start(QThread::LowPriority);
}

bool finishMedia(int deadlineMs) {
    const QDeadlineTimer deadline(deadlineMs);
    if (preparer) {
        if (!preparer->wait(deadline))
            return false;
        delete preparer;
        preparer = nullptr;
    }
    MediaBackend* media = backend;
    return !media || media->finish(int(deadline.remainingTime()));
}

}  // namespace platform
