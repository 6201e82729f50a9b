#pragma once

#include <string>
#include <vector>

/// A key the run presses by itself: down from step `first` to step `last` (counted from 1),
/// as if held on the keyboard, and up after it. For pictures and demonstrations that must come
/// out the same every time.
struct ScriptedKey {
    unsigned char key = 0;
    long first = 0;
    long last = 0;
};

/// Reads "KEY:STEP" or "KEY:FIRST-LAST", KEY one character or "space"; false when it is not
/// one of those (or LAST comes before FIRST).
bool parseScriptedKey(const std::string& text, ScriptedKey& key);

/// The keys the frame loop presses and releases, each read by parseScriptedKey (one it cannot
/// read is reported on stderr and left out); replaces any script given before.
void setKeyScript(const std::vector<std::string>& presses);
/// Called by the frame loop before step number `step`: presses the keys whose hold starts
/// there and releases those whose hold ended with the step before.
void playKeyScript(long step);
