#include "MediaLoader.h"

#include "DataFiles.h"
#include "MediaBackend.h"
#include "MediaLog.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>
#include <atomic>
#include <dlfcn.h>
#include <functional>
#include <mutex>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace media {
namespace {

std::once_flag loading;
std::atomic<MediaBackend*> backend = nullptr;
// Main thread only: the thread loading the plugin, the calls waiting for it,
// and whether they have been made (later calls are made at once).
QThread* loader = nullptr;
struct Call {
    std::function<void(MediaBackend&)> use;
    std::function<void()> unavailable;

    void make(MediaBackend* media) const {
        if (media)
            use(*media);
        else if (unavailable)
            unavailable();
    }
};
std::vector<Call> waiting;
bool loaded = false;
bool finished = false;
// How long the end of a run that did not finish the media itself (a test, a
// benchmark) waits for them.
constexpr int kExitDeadlineMs = 500;

// The plugin is opened by the very path checked, not through Qt's plugin
// loader, which first tries files named like it with a processor's suffix
// (".avx2") beside it, unchecked. It is never closed: a thread of the plugin
// that waits on a server that never answers is left running at the end, and
// its code must stay mapped until the process is gone.
QObject* pluginInstance(const QString& file, QString& error) {
    void* library = file.isEmpty() ? nullptr : ::dlopen(QFile::encodeName(file).constData(), RTLD_NOW | RTLD_LOCAL);
    using Instance = QObject* (*)();
    const auto instance = library ? reinterpret_cast<Instance>(::dlsym(library, "qt_plugin_instance")) : nullptr;
    if (!instance)
        error = file.isEmpty() ? u"none usable"_s : QString::fromLocal8Bit(::dlerror());
    return instance ? instance() : nullptr;
}

void load() {
    const QString file = mediaPluginFile();
    QString error;
    QObject* instance = pluginInstance(file, error);
    auto* media = qobject_cast<MediaBackend*>(instance);
    if (!media) {
        qCWarning(lcMedia, "no media plugin, no sound or speech: looked in %s and %s; %s",
                  qUtf8Printable(files::executableFolder()), MF_MEDIA_PLUGIN_FOLDER, qUtf8Printable(error));
        return;
    }
    // Made on whichever thread loaded it; it belongs to the main thread, which
    // hands it the sounds and sentences.
    instance->moveToThread(QCoreApplication::instance()->thread());
    backend = media;
    // Sound and speech end while the application object still exists: the
    // audio library's own objects are gone by the time the process ends.
    qAddPostRoutine([] {
        if (!finishMedia(kExitDeadlineMs))
            qCWarning(lcMedia, "sound or speech still busy at the end of the run");
    });
}

void makeWaitingCalls() {
    loaded = true;
    MediaBackend* media = finished ? nullptr : backend.load();
    for (const Call& call : std::exchange(waiting, {}))
        call.make(media);
}

}  // namespace

QString mediaPluginFile() {
    const QString name = QStringLiteral(MF_MEDIA_PLUGIN_NAME);
    QFileInfo plugin(files::executableFolder() % u'/' % name);
    if (!plugin.exists())
        plugin.setFile(QStringLiteral(MF_MEDIA_PLUGIN_FOLDER) % u'/' % name);
    const bool usable =
        files::safeFromOtherUsers(plugin) && files::safeFromOtherUsers(QFileInfo(plugin.absolutePath()));
    return usable ? plugin.filePath() : QString();
}

MediaBackend* mediaBackend() {
    if (!QCoreApplication::instance())
        return nullptr;
    std::call_once(loading, load);
    return backend;
}

void withMediaBackend(std::function<void(MediaBackend&)> use, std::function<void()> unavailable) {
    Call call{std::move(use), std::move(unavailable)};
    if (!QCoreApplication::instance() || finished || loaded) {
        call.make(QCoreApplication::instance() && !finished ? backend.load() : nullptr);
        return;
    }
    waiting.push_back(std::move(call));
    if (loader)
        return;
    loader = QThread::create([] {
        mediaBackend();
        QMetaObject::invokeMethod(QCoreApplication::instance(), makeWaitingCalls);
    });
    loader->start(QThread::LowPriority);
}

void prepareMedia(const QString& locale) {
    withMediaBackend([locale](MediaBackend& media) { media.prepare(locale); });
}

bool finishMedia(int deadlineMs) {
    finished = true;
    const QDeadlineTimer deadline(deadlineMs);
    if (loader) {
        if (!loader->wait(deadline))
            return false;
        delete loader;
        loader = nullptr;
    }
    MediaBackend* media = backend;
    return !media || media->finish(int(deadline.remainingTime()));
}

}  // namespace media
