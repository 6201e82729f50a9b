#include "support/e2e/SanitizerReport.h"

#include <sstream>

namespace e2e {
namespace {

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
    std::string leak;  // the leak report being read, with its stack
    auto finishLeak = [&] {
        if (!leak.empty()) {
            faults.push_back(leak);
        }
        leak.clear();
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
