// The media plugin: the sound player (QtMultimedia with PulseAudio and its
// codecs) and the voice (speech-dispatcher, spoken to over its socket), kept out
// of the executable so that start-up does not load them.
#include "MediaBackend.h"
#include "MediaLog.h"
#include "SpeechConnection.h"

#include <QAudioDevice>
#include <QDeadlineTimer>
#include <QLocale>
#include <QMediaDevices>
#include <QObject>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>
#include <atomic>
#include <functional>

namespace {

// Lives on a thread of its own: connecting may start speech-dispatcher and
// wait for it, and a server that accepts but never answers blocks every call
// for good; no screen may wait for that.
class Speaker : public QObject {
public:
    // Stopping before anything was said does not connect.
    void speak(const QString& text, const QString& localeTag, int rate, const std::function<void()>& done) {
        if ((!connection_ && text.isEmpty()) || !connected()) {
            done();
            return;
        }
        // Only a sentence that gives way to a newer one is cut.
        if (connection_->anyBeingSaid())
            connection_->cancel();
        if (rate != rate_ && connection_->setRate(rate))
            rate_ = rate;
        if (text.isEmpty() || !chooseLanguage(localeTag)) {
            done();
            return;
        }
        connection_->say(text, done);
    }

    void prepare(const QString& localeTag) {
        if (connected())
            chooseLanguage(localeTag);
    }

private:
    // One try per run: without a server, or after a fault of the server's,
    // the voice stays silent.
    bool connected() {
        if (!connection_) {
            connection_ = new platform::SpeechConnection;
            connection_->setParent(this);
            connection_->open(qEnvironmentVariable("SPEECHD_ADDRESS"));
        }
        return connection_->isOpen();
    }

    // speech-dispatcher takes the language and territory ("en-GB") and picks
    // a voice of that locale, else one of the language alone. A tag without a
    // known language stays silent: a sentence read by a voice of another
    // language cannot be understood.
    bool chooseLanguage(const QString& localeTag) {
        const QByteArray wanted = speechLanguage(localeTag);
        if (wanted.isEmpty())
            return false;
        if (wanted != language_ && connection_->setLanguage(wanted))
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

    platform::SpeechConnection* connection_ = nullptr;
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

// The plugin is never unloaded nor its object deleted: a thread still
// waiting on a server is left to the end of the process (see finish()).
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

    // The sound goes to the player's thread: the main thread never waits.
    void playSound(const QString& path) override {
        if (!finishing_)
            QMetaObject::invokeMethod(player_, [player = player_, path] { player->play(path); });
    }

    // The sentence goes to the speaker's thread and is said there, on a
    // channel of its own: it never cuts a sound.
    void speak(const QString& text, const QString& locale, int rate, std::function<void()> done) override {
        if (finishing_) {
            done();
            return;
        }
        QMetaObject::invokeMethod(speaker_, [speaker = speaker_, text, locale, rate, done = std::move(done)] {
            speaker->speak(text, locale, rate, done);
        });
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
