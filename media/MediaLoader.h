#pragma once
// Finds and loads the media plugin once, at its first use.

namespace platform {

class MediaBackend;

// The plugin's back end, or null when there is no application object yet or
// the plugin is missing or cannot be loaded (then sounds and speech are
// silent, and nothing is reported). The plugin lies in the program folder (the
// build tree, a portable copy) or, installed, in lib/metamorfine beside the
// program's data in share/metamorfine.
MediaBackend* mediaBackend();
// The back end if an earlier call loaded it, else null; never loads it.
MediaBackend* loadedMediaBackend();

}  // namespace platform
