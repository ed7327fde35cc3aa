#pragma once
// Finds and loads the media plugin once, off the main thread: once the first
// screen is painted (prepareMedia), or at the first sound or sentence.

#include <QString>
#include <functional>

namespace media {

class MediaBackend;

// The plugin's back end, loaded on the calling thread if need be, or null when
// there is no application object or the plugin is missing or cannot be
// loaded (then sounds and speech are silent). While another thread is still
// loading it, waits for that.
MediaBackend* mediaBackend();

// Calls `use` with the back end on the main thread, in the order asked: at
// once when the plugin has been loaded, else once a thread of its own has
// loaded it (the main thread never waits for that). Without a plugin, or once
// the media are finished, `unavailable` is called in its place.
void withMediaBackend(std::function<void(MediaBackend&)> use, std::function<void()> unavailable = {});

// Loads the media plugin, connects to the audio server and, unless `locale`
// is empty, to the speech server with the voice of `locale`, all off the main
// thread, so that neither the first sound nor the first sentence waits for
// them; returns at once. Called once the first screen is painted, never on
// the way to it.
void prepareMedia(const QString& locale);

// The plugin file to load, or empty for none. A program folder that holds the
// plugin (the build tree, a portable copy) uses its own; otherwise the program
// is installed and uses the one in the plugin folder fixed when it was built,
// never one found relative to the executable. A file or folder that another
// user could have written is not used.
QString mediaPluginFile();

// Stops sound and speech at the end of the run. False when a thread of the
// plugin is still busy after `deadlineMs` (waiting on a speech or audio
// server): the program must then leave without unloading anything.
bool finishMedia(int deadlineMs);

}  // namespace media
