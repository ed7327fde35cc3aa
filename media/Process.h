#pragma once
// The running program: the guard against a second copy, ending
// it, letting pending events run.

#include <QString>
#include <functional>

namespace media {

// Holds the guard for this user for the rest of the run and returns true, or
// returns false when another copy of the program is running. A guard left by a
// copy that crashed or was killed never blocks, nor does one older than a
// minute that names no process of this machine (empty, garbage, another
// host's, a folder in its place), nor a folder where
// the guard cannot be made. The guard is a lock file in a folder only the user
// can write: $XDG_RUNTIME_DIR, else <temporary folder>/metamorfine-<uid> made
// with mode 0700. A folder that is not the user's own, or a lock file another
// user owns, blocks nothing.
bool AcquireSingleInstance();

// Ends the program at once: every screen is closed without running any
// further handler. Tests replace what it does.
void EndProgram();
void setEndProgramHook(std::function<void()> hook);
// Ends the process now with `status`, without unloading anything or running
// any destructor: for an end that must not wait on a thread that is stuck.
[[noreturn]] void LeaveNow(int status);

// Lets pending user-interface events run.
void DoEvents();

}  // namespace media
