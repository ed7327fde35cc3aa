#include "Sound.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

namespace platform {
namespace {

SoundObserver& observer() {
    static SoundObserver watcher;
    return watcher;
}

// QSoundEffect decodes the WAV file itself and writes to the audio output
// directly, without the media back end, whose player crashes on this Qt when
// the machine has no audio device or no GStreamer plugins. One effect serves
// the whole run: it is made at the first sound (never before the application
// object exists), and giving it the next file stops the one playing. With no
// audio output nothing is made or played, so a machine without sound neither
// waits nor fills the log with a complaint at every answer.
QSoundEffect* soundEffect() {
    static QPointer<QSoundEffect> effect;
    if (!effect)
        effect = new QSoundEffect(QCoreApplication::instance());
    return effect;
}

}  // namespace

void PlaySoundAsync(const QString& path) {
    if (observer())
        observer()(path);
    if (!QCoreApplication::instance())
        return;
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (output.isNull())
        return;
    QSoundEffect* effect = soundEffect();
    effect->stop();
    effect->setAudioDevice(output);
    effect->setSource(QUrl::fromLocalFile(path));
    effect->play();
}

void setSoundObserver(SoundObserver watcher) {
    observer() = std::move(watcher);
}

}  // namespace platform
