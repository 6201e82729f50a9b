// The run loop's display needs where the engine is built without X11: GLUT reports a missing
// display itself, filters its own key repeats, and nothing watches for the window being
// destroyed from outside. Swaps are not tied to the refresh (the frame loop still draws no
// more frames than it makes steps).

#include <GL/freeglut.h>

#include "app/NativeDisplay.h"
#include "app/SwapInterval.h"

bool connectToDisplay(const char* /*program*/) {
    return true;
}

void watchWindow() {
    glutIgnoreKeyRepeat(1);
}

void disconnectFromDisplay() {}

bool syncSwapsToRefresh() {
    return false;
}
