#include "support/e2e/SanitizerReport.h"

#include <sstream>

namespace e2e {
namespace {

// The sanitizer runtimes allocate on behalf of whoever called into them (interceptors, type
// checks); such a frame says nothing about who owns the memory.
bool inSanitizerRuntime(const std::string& frame) {
    for (const char* runtime : {"/libasan.so", "/libubsan.so", "/liblsan.so"}) {
        if (frame.find(runtime) != std::string::npos) {
            return true;
        }
    }
    return false;
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

std::string trimmedStart(const std::string& line) {
    const std::size_t first = line.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : line.substr(first);
}

}  // namespace

std::vector<std::string> sanitizerFaults(const std::string& errorOutput) {
    std::vector<std::string> faults;
    std::istringstream lines(errorOutput);
    std::string line;
    std::string leak;         // the leak report being read, if any
    bool leakIsOurs = false;  // it has a frame in a loaded module
    auto finishLeak = [&] {
        if (!leak.empty() && leakIsOurs) {
            faults.push_back(leak);
        }
        leak.clear();
        leakIsOurs = false;
    };
    while (std::getline(lines, line)) {
        const std::string text = trimmedStart(line);
        if (startsWith(text, "Direct leak of") || startsWith(text, "Indirect leak of")) {
            finishLeak();
            leak = line + "\n";
            continue;
        }
        if (!leak.empty()) {
            if (startsWith(text, "#")) {
                leak += line + "\n";
                // Frame #0 is the sanitizer's allocator; the callers are what matter.
                if (!startsWith(text, "#0 ") &&
                    text.find("(<unknown module>)") == std::string::npos &&
                    !inSanitizerRuntime(text)) {
                    leakIsOurs = true;
                }
                continue;
            }
            finishLeak();
        }
        if (text.find("ERROR: AddressSanitizer") != std::string::npos ||
            text.find("runtime error:") != std::string::npos) {
            faults.push_back(line);
        }
    }
    finishLeak();
    return faults;
}

}  // namespace e2e
