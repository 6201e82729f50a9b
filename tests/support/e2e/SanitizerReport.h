#pragma once

#include <string>
#include <vector>

namespace e2e {

// The faults in what a sanitizer build of the engine wrote to stderr: every AddressSanitizer
// and UndefinedBehaviorSanitizer error, and every leak with a stack frame in a module that
// is still loaded (the engine itself, or a library the suppressions do not excuse).
// GLUT's exit handler closes the display before the leak check runs, and Mesa unloads its
// driver with it: the driver's own leftovers then show up with frames only in
// "<unknown module>", which no suppression can name. Those are not the engine's and are let
// through here. Each fault is returned as the report's text.
std::vector<std::string> sanitizerFaults(const std::string& errorOutput);

}  // namespace e2e
