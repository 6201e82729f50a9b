#pragma once

// Which key-table slot a key event should reach, written out independently of the engine's
// own table so that tests can hold the two against each other.
namespace keymodel {

/// The slot a press of this code sets, or -1 for a code without one.
int pressSlot(unsigned char code);

/// The slot a release of this code clears, or -1. A key held while Shift goes down is released
/// as its shifted character (upper-case letter, or the symbol above it on a US keyboard), and
/// that release lets go of the key.
int releaseSlot(unsigned char code);

/// The character a key sends with Shift held, or 0 for a key without a shifted form.
char shifted(char key);

}  // namespace keymodel
