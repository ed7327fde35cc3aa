// The media plugin: the sound player (ALSA) and the voice (speech-dispatcher, spoken to over its socket), kept out
// of the executable so that start-up does not load them.
#include "MediaBackend.h"
#include "MediaLog.h"
#include "Sound.h"
#include "SpeechConnection.h"
#include "WaveFile.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocale>
#include <QObject>
#include <QThread>
#include <alsa/asoundlib.h>
#include <atomic>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <functional>
#include <mutex>
#include <optional>

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
            connection_ = new media::SpeechConnection;
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

    media::SpeechConnection* connection_ = nullptr;
    QByteArray language_;
    int rate_ = 0;  // the server's own pace until set
};

// ALSA writes its own errors to stderr (a missing card, a server that is not
// running); they go to the media log, where the program's own are.
void alsaError(const char* file, int line, const char* function, int error, const char* format, ...) {
    if (!media::lcMedia().isDebugEnabled())
        return;
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    qCDebug(media::lcMedia, "ALSA %s:%d (%s): %s%s%s", file, line, function, text, error ? ": " : "",
            error ? snd_strerror(error) : "");
}

// Plays the sounds through ALSA's default output, which a desktop's PipeWire
// or PulseAudio serves (pipewire-alsa, the PulseAudio plugin of
// libasound2-plugins) and which a bare system plays on its sound card: a
// library every desktop has, where a media framework would bring a hundred
// packages for five short sounds.
//
// Lives on a thread of its own: reaching the audio server and starting a
// stream take tens of milliseconds, which no screen may wait for, and each
// sound is written out as it plays. The output is opened when the media are
// readied (or at the first sound) and kept for the run. A new sound cuts the
// one playing within a few hundredths of a second. With no audio output
// nothing is played, and a machine without sound neither waits nor fills the
// log with a complaint at every answer; the output is tried again at the
// next sound, as a server may have come.
class SoundPlayer {
public:
    SoundPlayer() : thread_(QThread::create([this] { run(); })) {
        snd_lib_error_set_handler(alsaError);
        thread_->start(QThread::NormalPriority);
    }

    // Called on any thread; returns at once.
    void play(const QString& path) {
        const std::lock_guard lock(mutex_);
        next_ = path;
        wake_.notify_one();
    }

    void prepare() {
        const std::lock_guard lock(mutex_);
        prepare_ = true;
        wake_.notify_one();
    }

    // Stops the sound and ends the thread; false when it has not ended by the
    // deadline (an audio server that does not answer), then the player stays.
    bool finish(QDeadlineTimer deadline) {
        if (!thread_)
            return true;
        {
            const std::lock_guard lock(mutex_);
            ending_ = true;
            wake_.notify_one();
        }
        if (!thread_->wait(deadline))
            return false;
        delete thread_;
        thread_ = nullptr;
        return true;
    }

private:
    // How much of a sound is written at once: the longest a newer sound waits.
    static constexpr int kSliceMs = 20;
    // The output's buffer, microseconds.
    static constexpr unsigned kLatencyUs = 100'000;

    struct Format {
        snd_pcm_format_t sample = SND_PCM_FORMAT_UNKNOWN;
        unsigned channels = 0;
        unsigned rate = 0;
        bool operator==(const Format&) const = default;
    };

    void run() {
        for (;;) {
            std::optional<QString> path;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return ending_ || prepare_ || next_; });
                if (ending_)
                    break;
                prepare_ = false;
                path.swap(next_);
            }
            if (path)
                playFile(*path);
            else
                opened();
        }
        close();
    }

    bool interrupted() {
        const std::lock_guard lock(mutex_);
        return ending_ || next_;
    }

    bool opened() {
        if (pcm_)
            return true;
        const int error = snd_pcm_open(&pcm_, "default", SND_PCM_STREAM_PLAYBACK, 0);
        if (error < 0) {
            pcm_ = nullptr;
            if (!reportedNoOutput_)
                qCWarning(media::lcMedia, "no audio output (%s): no sound is played", snd_strerror(error));
            reportedNoOutput_ = true;
            return false;
        }
        return true;
    }

    void close() {
        if (pcm_) {
            snd_pcm_drop(pcm_);
            snd_pcm_close(pcm_);
        }
        pcm_ = nullptr;
        format_ = {};
    }

    static std::optional<Format> formatOf(const media::WaveSound& sound) {
        Format format;
        switch (sound.bitsPerSample) {
        case 8:
            format.sample = SND_PCM_FORMAT_U8;
            break;
        case 16:
            format.sample = SND_PCM_FORMAT_S16_LE;
            break;
        case 32:
            format.sample = SND_PCM_FORMAT_S32_LE;
            break;
        default:
            return std::nullopt;
        }
        format.channels = sound.channels;
        format.rate = sound.sampleRate;
        if (sound.format != 1 || format.channels < 1 || format.channels > 8 || format.rate < 8000 ||
            format.rate > 192000)
            return std::nullopt;
        return format;
    }

    void playFile(const QString& path) {
        QFile file(path);
        std::optional<media::WaveSound> sound;
        std::optional<Format> format;
        if (file.open(QIODevice::ReadOnly) && file.size() <= media::kSoundFileSizeMax)
            sound = media::readWaveHeader(file);
        if (sound)
            format = formatOf(*sound);
        if (!format) {
            qCWarning(media::lcMedia, "sound %s cannot be played: not a WAV file of PCM samples", qUtf8Printable(path));
            return;
        }
        const QByteArray samples = file.read(sound->dataBytes);
        if (!opened())
            return;
        const int error = *format == format_ ? snd_pcm_prepare(pcm_)
                                             : snd_pcm_set_params(pcm_, format->sample, SND_PCM_ACCESS_RW_INTERLEAVED,
                                                                  format->channels, format->rate, 1, kLatencyUs);
        if (error < 0) {
            qCWarning(media::lcMedia, "sound %s cannot be played: %s", qUtf8Printable(path), snd_strerror(error));
            close();
            return;
        }
        format_ = *format;
        const qsizetype frameBytes = qsizetype(format->channels) * (sound->bitsPerSample / 8);
        const snd_pcm_uframes_t slice = format->rate * kSliceMs / 1000;
        const char* next = samples.constData();
        snd_pcm_uframes_t left = snd_pcm_uframes_t(samples.size() / frameBytes);
        while (left > 0) {
            if (interrupted()) {
                snd_pcm_drop(pcm_);
                return;
            }
            const snd_pcm_sframes_t written = snd_pcm_writei(pcm_, next, qMin(left, slice));
            if (written < 0) {
                // An underrun (the thread was not scheduled in time) or a
                // suspended machine are recovered from; anything else
                // closes the output, to be opened again at the next sound.
                const int failure = snd_pcm_recover(pcm_, int(written), 1);
                if (failure < 0) {
                    qCWarning(media::lcMedia, "sound %s stopped: %s", qUtf8Printable(path), snd_strerror(failure));
                    close();
                    return;
                }
                continue;
            }
            next += written * frameBytes;
            left -= snd_pcm_uframes_t(written);
        }
        // The last slices are still in the buffer: they play out.
        snd_pcm_drain(pcm_);
    }

    QThread* thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<QString> next_;
    bool prepare_ = false;
    bool ending_ = false;
    // Reached on the player's thread only.
    snd_pcm_t* pcm_ = nullptr;
    Format format_;
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
class MediaPlugin : public QObject, public media::MediaBackend {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID MetamorfineMediaBackend_iid)
    Q_INTERFACES(media::MediaBackend)

public:
    MediaPlugin() : speaker_(new Speaker), speechThread_(threadFor(speaker_, QThread::LowPriority)) {}

    // The sound goes to the player's thread: the main thread never waits.
    void playSound(const QString& path) override {
        if (!finishing_)
            player_.play(path);
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
        player_.prepare();
        if (!locale.isEmpty())
            QMetaObject::invokeMethod(speaker_, [speaker = speaker_, locale] { speaker->prepare(locale); });
    }

    // Ending the sound thread stops its sound and closes the output.
    bool finish(int deadlineMs) override {
        finishing_ = true;
        const QDeadlineTimer deadline(deadlineMs);
        const bool soundEnded = player_.finish(deadline);
        return endThread(speechThread_, deadline) && soundEnded;
    }

private:
    // Nothing reaches the player after finish(); the speaker is deleted on
    // its thread once that ends.
    SoundPlayer player_;
    Speaker* speaker_;
    QThread* speechThread_;
    std::atomic<bool> finishing_ = false;
};

}  // namespace

#include "MediaPlugin.moc"
