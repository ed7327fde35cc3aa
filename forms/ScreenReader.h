#pragma once
// Whether a screen reader is running, as AT-SPI's status on the session bus
// says: then it speaks every move of the focus itself, and the program's own
// voice keeps to what a screen reader does not say. A parent or a flag may
// decide it either way instead.

#include <optional>

namespace forms {

// Whether a screen reader speaks the focus: as forced, else as last heard
// from the session bus (no screen reader until it has answered).
bool screenReaderSpeaks();

// Asks the session bus, without waiting for it, and follows its changes from
// then on. Called once the first screen is painted; later calls do nothing.
void followScreenReader();

// Decides for the rest of the run, whatever the bus says; nothing: the bus decides.
void forceScreenReader(std::optional<bool> running);

}  // namespace forms
