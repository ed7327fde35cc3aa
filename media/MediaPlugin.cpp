// The media plugin: the sound player and the speech engine, with the
// libraries they bring (QtMultimedia with PulseAudio and its codecs,
// QtTextToSpeech with speech-dispatcher), kept out of the executable so that
// they are loaded at the first sound or sentence and not at start-up.
#include "MediaBackend.h"
#include "MediaLog.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QLocale>
#include <QMediaDevices>
#include <QObject>
#include <QPointer>
#include <QSoundEffect>
#include <QTextToSpeech>
#include <QThread>
#include <QUrl>
#include <algorithm>

namespace {

// Lives on a thread of its own: the engine reaches speech-dispatcher while it
// is made, which may start the dispatcher and wait for it, and lists the
// voices at the first sentence, which takes seconds with espeak-ng's hundreds
// of variants; no screen may wait for that.
class Speaker : public QObject {
public:
    // Stopping before anything was said does not make the engine.
    void speak(const QString& text, const QString& localeTag) {
        if ((!engine_ && text.isEmpty()) || !madeEngine())
            return;
        engine_->stop();
        if (text.isEmpty() || !chooseVoice(QLocale(localeTag)))
            return;
        engine_->say(text);
    }

    void prepare(const QString& localeTag) {
        if (madeEngine())
            chooseVoice(QLocale(localeTag));
    }

private:
    bool madeEngine() {
        if (!engine_) {
            engine_ = new QTextToSpeech(this);
            if (engine_->state() == QTextToSpeech::Error)
                qCWarning(platform::lcMedia, "no speech engine (%s): nothing is spoken",
                          qUtf8Printable(engine_->engine()));
        }
        return engine_->state() != QTextToSpeech::Error;
    }

    // The voice of the locale itself, else one of its language. A language
    // without a voice stays silent: a sentence read by a voice of another
    // language cannot be understood.
    bool chooseVoice(const QLocale& wanted) {
        if (engine_->locale() == wanted)
            return true;
        const QList<QLocale> locales = engine_->availableLocales();
        auto chosen = std::find(locales.begin(), locales.end(), wanted);
        if (chosen == locales.end())
            chosen = std::find_if(locales.begin(), locales.end(),
                                  [&](const QLocale& locale) { return locale.language() == wanted.language(); });
        if (chosen == locales.end())
            return false;
        engine_->setLocale(*chosen);
        return true;
    }

    QTextToSpeech* engine_ = nullptr;
};

class MediaPlugin : public QObject, public platform::MediaBackend {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID MetamorfineMediaBackend_iid)
    Q_INTERFACES(platform::MediaBackend)

public:
    ~MediaPlugin() override { stopSpeechThread(); }

    // QSoundEffect decodes the WAV file itself and writes to the audio output
    // directly, without the media back end, whose player crashes on this Qt
    // when the machine has no audio device or no GStreamer plugins. One effect
    // serves the whole run: it is made at the first sound, and giving it the
    // next file stops the one playing. With no audio output nothing is made or
    // played, so a machine without sound neither waits nor fills the log with
    // a complaint at every answer.
    void playSound(const QString& path) override {
        const QAudioDevice output = QMediaDevices::defaultAudioOutput();
        if (output.isNull()) {
            if (!reportedNoOutput_)
                qCWarning(platform::lcMedia, "no audio output: no sound is played");
            reportedNoOutput_ = true;
            return;
        }
        if (!effect_) {
            effect_ = new QSoundEffect(QCoreApplication::instance());
            connect(effect_, &QSoundEffect::statusChanged, effect_, [effect = effect_] {
                if (effect->status() == QSoundEffect::Error)
                    qCWarning(platform::lcMedia, "sound %s cannot be played",
                              qUtf8Printable(effect->source().toLocalFile()));
            });
        }
        effect_->stop();
        effect_->setAudioDevice(output);
        effect_->setSource(QUrl::fromLocalFile(path));
        effect_->play();
    }

    // The sentence goes to the speaker's thread and is said there, on a
    // channel of its own: it never cuts a sound. Once the program quits,
    // nothing more is said.
    void speak(const QString& text, const QString& locale) override {
        if (Speaker* speaker = runningSpeaker())
            QMetaObject::invokeMethod(speaker, [speaker, text, locale] { speaker->speak(text, locale); });
    }

    void prepareSpeech(const QString& locale) override {
        if (Speaker* speaker = runningSpeaker())
            QMetaObject::invokeMethod(speaker, [speaker, locale] { speaker->prepare(locale); });
    }

private:
    // The speaker, its thread started at first use; none once the program quits.
    Speaker* runningSpeaker() {
        if (!speaker_ && !speechThread_.isFinished())
            startSpeechThread();
        return speaker_;
    }

    void startSpeechThread() {
        speaker_ = new Speaker;
        speaker_->moveToThread(&speechThread_);
        connect(&speechThread_, &QThread::finished, speaker_, &QObject::deleteLater);
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, &MediaPlugin::stopSpeechThread);
        speechThread_.start(QThread::LowPriority);
    }

    void stopSpeechThread() {
        speechThread_.quit();
        speechThread_.wait();
    }

    QPointer<QSoundEffect> effect_;
    bool reportedNoOutput_ = false;
    QPointer<Speaker> speaker_;
    QThread speechThread_;
};

}  // namespace

#include "MediaPlugin.moc"
