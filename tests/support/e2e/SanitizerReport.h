#pragma once

#include <string>
#include <vector>

namespace e2e {

// The faults in what a sanitizer build of the engine wrote to stderr: every AddressSanitizer
// and UndefinedBehaviorSanitizer error and every leak report LeakSanitizer printed. The engine
// runs its leak check itself while the GL driver is still loaded (app/LeakCheck.h), so the
// driver's blocks carry its name and tests/support/lsan.supp excuses them; whatever is still
// reported is a fault. Each fault is returned as the report's text.
std::vector<std::string> sanitizerFaults(const std::string& errorOutput);

}  // namespace e2e
