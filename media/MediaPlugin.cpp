// The media plugin: the sound player (QtMultimedia with PulseAudio and its
// codecs) and the voice (speech-dispatcher through its own library), kept out
// of the executable so that start-up does not load them.
#include "MediaBackend.h"
#include "MediaLog.h"

#include <QAudioDevice>
#include <QDeadlineTimer>
#include <QLocale>
#include <QMediaDevices>
#include <QObject>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>
#include <atomic>
#include <cstdlib>
#include <libspeechd.h>

namespace {

// Lives on a thread of its own: connecting may start speech-dispatcher and
// wait for it, and a server that accepts but never answers blocks every call
// for good; no screen may wait for that.
class Speaker : public QObject {
public:
    ~Speaker() override {
        if (connection_)
            spd_close(connection_);
    }

    // Stopping before anything was said does not connect.
    void speak(const QString& text, const QString& localeTag, int rate) {
        if ((!triedConnecting_ && text.isEmpty()) || !connected())
            return;
        spd_cancel(connection_);
        if (rate != rate_ && spd_set_voice_rate(connection_, rate) == 0)
            rate_ = rate;
        if (!text.isEmpty() && chooseLanguage(localeTag))
            spd_say(connection_, SPD_TEXT, text.toUtf8().constData());
    }

    void prepare(const QString& localeTag) {
        if (connected())
            chooseLanguage(localeTag);
    }

private:
    // One try per run: without a server the voice stays silent.
    bool connected() {
        if (triedConnecting_)
            return connection_;
        triedConnecting_ = true;
        char* error = nullptr;
        connection_ = spd_open2("metamorfine", "speech", nullptr, SPD_MODE_SINGLE, nullptr, 1, &error);
        if (!connection_)
            qCWarning(platform::lcMedia, "no speech server (%s): nothing is spoken", error);
        std::free(error);
        return connection_;
    }

    // speech-dispatcher takes the language and territory ("en-GB") and picks
    // a voice of that locale, else one of the language alone. A tag without a
    // known language stays silent: a sentence read by a voice of another
    // language cannot be understood.
    bool chooseLanguage(const QString& localeTag) {
        const QByteArray wanted = speechLanguage(localeTag);
        if (wanted.isEmpty())
            return false;
        if (wanted != language_ && spd_set_language(connection_, wanted.constData()) == 0)
            language_ = wanted;
        return wanted == language_;
    }

    static QByteArray speechLanguage(const QString& localeTag) {
        const QLocale locale(localeTag);
        if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage)
            return {};
        QString tag = QLocale::languageToCode(locale.language());
        // QLocale fills in a territory the tag does not name.
        if (localeTag.contains(u'_') || localeTag.contains(u'-'))
            tag += u'-' + QLocale::territoryToCode(locale.territory());
        return tag.toLatin1();
    }

    SPDConnection* connection_ = nullptr;
    bool triedConnecting_ = false;
    QByteArray language_;
    int rate_ = 0;  // the server's own pace until set
};

// Lives on a thread of its own: reaching the audio server and starting a
// stream take tens of milliseconds, which no screen may wait for.
//
// QSoundEffect decodes the WAV file itself and writes to the audio output
// directly, without the media back end, whose player crashes on this Qt when
// the machine has no audio device or no GStreamer plugins. One effect serves
// the whole run, made when the media are readied (or at the first sound);
// giving it the next file stops the one playing. With no audio output nothing
// is made or played, so a machine without sound neither waits nor fills the
// log with a complaint at every answer.
class SoundPlayer : public QObject {
public:
    void prepare() {
        if (hasOutput())
            effect();
    }

    void play(const QString& path) {
        if (!hasOutput())
            return;
        QSoundEffect& sound = effect();
        sound.stop();
        sound.setAudioDevice(output_);
        sound.setSource(QUrl::fromLocalFile(path));
        sound.play();
    }

private:
    bool hasOutput() {
        output_ = QMediaDevices::defaultAudioOutput();
        if (output_.isNull() && !reportedNoOutput_)
            qCWarning(platform::lcMedia, "no audio output: no sound is played");
        reportedNoOutput_ = reportedNoOutput_ || output_.isNull();
        return !output_.isNull();
    }

    QSoundEffect& effect() {
        if (!effect_) {
            effect_ = new QSoundEffect(output_, this);
            connect(effect_, &QSoundEffect::statusChanged, this, [effect = effect_] {
                if (effect->status() == QSoundEffect::Error)
                    qCWarning(platform::lcMedia, "sound %s cannot be played",
                              qUtf8Printable(effect->source().toLocalFile()));
            });
        }
        return *effect_;
    }

    QAudioDevice output_;
    QSoundEffect* effect_ = nullptr;
    bool reportedNoOutput_ = false;
};

// Quits `thread` and waits for it until `deadline`; a thread that has ended is
// deleted, with the objects living on it.
bool endThread(QThread*& thread, QDeadlineTimer deadline) {
    if (!thread)
        return true;
    thread->quit();
    if (!thread->wait(deadline))
        return false;
    delete thread;
    thread = nullptr;
    return true;
}

// Starts a thread on which `worker` lives until the thread ends.
QThread* threadFor(QObject* worker, QThread::Priority priority) {
    auto* thread = new QThread;
    worker->moveToThread(thread);
    QObject::connect(thread, &QThread::finished, worker, &QObject::deleteLater);
    thread->start(priority);
    return thread;
}

// How long unloading the plugin waits for a thread that finish() left busy.
constexpr int kUnloadDeadlineMs = 200;

class MediaPlugin : public QObject, public platform::MediaBackend {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID MetamorfineMediaBackend_iid)
    Q_INTERFACES(platform::MediaBackend)

public:
    MediaPlugin()
        : player_(new SoundPlayer),
          speaker_(new Speaker),
          soundThread_(threadFor(player_, QThread::NormalPriority)),
          speechThread_(threadFor(speaker_, QThread::LowPriority)) {}

    // A thread still waiting on a speech or audio server that never answers
    // is left to the end of the process, never waited on for ever: the
    // plugin is loaded never to be unmapped, so its code stays in place.
    ~MediaPlugin() override {
        if (!finish(kUnloadDeadlineMs))
            qCWarning(platform::lcMedia, "a media thread is still waiting on its server: left running");
    }

    // The sound goes to the player's thread: the main thread never waits.
    void playSound(const QString& path) override {
        if (!finishing_)
            QMetaObject::invokeMethod(player_, [player = player_, path] { player->play(path); });
    }

    // The sentence goes to the speaker's thread and is said there, on a
    // channel of its own: it never cuts a sound.
    void speak(const QString& text, const QString& locale, int rate) override {
        if (!finishing_)
            QMetaObject::invokeMethod(speaker_,
                                      [speaker = speaker_, text, locale, rate] { speaker->speak(text, locale, rate); });
    }

    void prepare(const QString& locale) override {
        if (finishing_)
            return;
        QMetaObject::invokeMethod(player_, [player = player_] { player->prepare(); });
        if (!locale.isEmpty())
            QMetaObject::invokeMethod(speaker_, [speaker = speaker_, locale] { speaker->prepare(locale); });
    }

    // Ending the sound thread deletes the player, which stops its sound.
    bool finish(int deadlineMs) override {
        finishing_ = true;
        const QDeadlineTimer deadline(deadlineMs);
        const bool soundEnded = endThread(soundThread_, deadline);
        return endThread(speechThread_, deadline) && soundEnded;
    }

private:
    // Each deleted on its thread once that ends; nothing reaches them after
    // finish().
    SoundPlayer* player_;
    Speaker* speaker_;
    QThread* soundThread_;
    QThread* speechThread_;
    std::atomic<bool> finishing_ = false;
};

}  // namespace

#include "MediaPlugin.moc"
