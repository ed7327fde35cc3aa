// The media plugin: the sound player (QtMultimedia with PulseAudio and its
// codecs) and the voice (speech-dispatcher through its own library), kept out
// of the executable so that start-up does not load them.
#include "MediaBackend.h"
#include "MediaLog.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocale>
#include <QMediaDevices>
#include <QObject>
#include <QPointer>
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

class MediaPlugin : public QObject, public platform::MediaBackend {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID MetamorfineMediaBackend_iid)
    Q_INTERFACES(platform::MediaBackend)

public:
    MediaPlugin() : speaker_(new Speaker) {
        speaker_->moveToThread(&speechThread_);
        connect(&speechThread_, &QThread::finished, speaker_, &QObject::deleteLater);
        speechThread_.start(QThread::LowPriority);
    }

    // Unloading only follows a finish() that succeeded, or a run that never
    // reached a speech server that does not answer.
    ~MediaPlugin() override {
        speechThread_.quit();
        speechThread_.wait();
    }

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
    // channel of its own: it never cuts a sound.
    void speak(const QString& text, const QString& locale, int rate) override {
        if (!finishing_)
            QMetaObject::invokeMethod(speaker_,
                                      [speaker = speaker_, text, locale, rate] { speaker->speak(text, locale, rate); });
    }

    // Asking for the audio output connects to the audio server and lists its
    // devices, which the first sound would otherwise do on the main thread.
    void prepare(const QString& locale) override {
        QMediaDevices::defaultAudioOutput();
        if (!finishing_)
            QMetaObject::invokeMethod(speaker_, [speaker = speaker_, locale] { speaker->prepare(locale); });
    }

    bool finish(int deadlineMs) override {
        finishing_ = true;
        if (effect_)
            effect_->stop();
        speechThread_.quit();
        return speechThread_.wait(QDeadlineTimer(deadlineMs));
    }

private:
    QPointer<QSoundEffect> effect_;
    bool reportedNoOutput_ = false;
    // Deleted on its thread once that ends; nothing reaches it after finish().
    Speaker* speaker_;
    QThread speechThread_;
    std::atomic<bool> finishing_ = false;
};

}  // namespace

#include "MediaPlugin.moc"
