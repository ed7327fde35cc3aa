#pragma once
// What the media plugin offers: the sound player and the speech engine. The
// program reaches them only through this interface, so that it links neither
// QtMultimedia nor QtTextToSpeech; the plugin is loaded at the first sound or
// sentence (see MediaLoader.h). Every call returns at once.

#include <QString>
#include <QtPlugin>

namespace platform {

class MediaBackend {
public:
    virtual ~MediaBackend() = default;
    // A new sound stops the one still playing.
    virtual void playSound(const QString& path) = 0;
    // A new sentence stops the one still being spoken, never a sound; an empty
    // text only stops.
    virtual void speak(const QString& text, const QString& locale) = 0;
    // Makes the speech engine and picks the voice of `locale` ahead of the
    // first sentence.
    virtual void prepareSpeech(const QString& locale) = 0;
};

}  // namespace platform

#define MetamorfineMediaBackend_iid "org.metamorfine.MediaBackend/2"
Q_DECLARE_INTERFACE(platform::MediaBackend, MetamorfineMediaBackend_iid)
