#pragma once
// What the media plugin offers: the sound player and the voice. The program
// reaches them only through this interface, so that it links neither the
// audio library nor the network module; the plugin is loaded off the
// main thread once the first screen is painted, or at the first sound or
// sentence (see MediaLoader.h). Every call but finish() returns at once.

#include <QString>
#include <QtPlugin>
#include <functional>

namespace media {

class MediaBackend {
public:
    virtual ~MediaBackend() = default;
    // A new sound stops the one still playing. Called on the main thread.
    virtual void playSound(const QString& path) = 0;
    // A new sentence stops the one still being spoken, never a sound; an empty
    // text only stops. `rate` is the voice's pace, -100 to 100 (0: its own).
    // `done` is called, on any thread, once the sentence has been said or cut,
    // or at once when it cannot be said.
    virtual void speak(const QString& text, const QString& locale, int rate, std::function<void()> done) = 0;
    // Readies the audio output, and the voice of `locale` unless it is empty,
    // ahead of the first sound and sentence, on the plugin's own threads:
    // reaching the audio and speech servers takes tens of milliseconds.
    virtual void prepare(const QString& locale) = 0;
    // Stops the voice and lets its thread end within `deadlineMs`; false when
    // it is still waiting on the speech server (then the plugin's code must
    // stay loaded: the program leaves without unloading anything).
    virtual bool finish(int deadlineMs) = 0;
};

}  // namespace media

#define MetamorfineMediaBackend_iid "org.metamorfine.MediaBackend/5"
Q_DECLARE_INTERFACE(media::MediaBackend, MetamorfineMediaBackend_iid)
