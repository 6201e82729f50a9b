#include "app/CommandLine.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/RunOptions.h"

GeometryGiven geometryOnCommandLine(int argc, char** argv) {
    GeometryGiven given;
    for (int i = 1; argv != nullptr && i + 1 < argc; ++i) {
        if (argv[i] == nullptr || std::strcmp(argv[i], "-geometry") != 0 ||
            argv[i + 1] == nullptr) {
            continue;
        }
        const char* value = argv[i + 1];
        given.size = std::strchr(value, 'x') != nullptr || std::strchr(value, 'X') != nullptr;
        given.position = std::strpbrk(value, "+-") != nullptr;
    }
    return given;
}

namespace {

bool positiveCount(const char* text, long& count) {
    char* end = nullptr;
    count = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && count > 0;
}

}  // namespace

bool readEngineOptions(RunOptions& options) {
    bool understood = true;
    for (int i = 1; options.argv != nullptr && i < options.argc && options.argv[i] != nullptr;
         ++i) {
        const std::string option = options.argv[i];
        const char* value = i + 1 < options.argc ? options.argv[i + 1] : nullptr;
        if (option == "-stats") {
            options.showStats = true;
        } else if (option == "-screenshot" || option == "-screenshot-after" || option == "-press") {
            long count = 0;
            if (value == nullptr) {
                std::fprintf(stderr, "%s needs a value; ignored\n", option.c_str());
                understood = false;
            } else if (option == "-press") {
                options.pressKeys.emplace_back(value);
            } else if (option == "-screenshot") {
                options.screenshotPath = value;
            } else if (positiveCount(value, count)) {
                options.screenshotAfterFrames = count;
            } else {
                std::fprintf(
                    stderr, "-screenshot-after needs a positive count, not '%s'; ignored\n", value);
                understood = false;
            }
            ++i;
        }
    }
    return understood;
}

void keepOnScreen(int& x, int& y, int width, int height, int screenWidth, int screenHeight) {
    x = std::max(0, std::min(x, screenWidth - width));
    y = std::max(0, std::min(y, screenHeight - height));
}
