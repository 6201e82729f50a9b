#pragma once

#include "app/RunOptions.h"

// The window of a whole run in these tests: small and off to the side, away from the windows
// other tests read pixels from, and titled apart from the end-to-end tests' windows, which
// they find by title.
inline RunOptions smallWindow(const char* title) {
    RunOptions options;
    options.title = title;
    options.width = 160;
    options.height = 120;
    options.x = 1100;
    options.y = 200;
    return options;
}
