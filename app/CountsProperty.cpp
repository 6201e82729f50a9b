#include "app/CountsProperty.h"

#ifdef ENGINE_COUNTS_ON_X11

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

#include "app/Camera.h"
#include "app/Run.h"

namespace {

// Often enough that a test never waits long for the next value, rarely enough to cost
// nothing. Each value is read between two callbacks, so its counts and offset belong together.
constexpr int PUBLISH_MS = 10;

// A connection of its own, kept for the process: GLUT's is not ours to use. Errors on it (the
// window destroyed from outside) go to the handler the run installs; after the run no more
// requests are made.
Display* publisher = nullptr;
Window published = 0;
Atom countsAtom = 0;

void publishCounts(int /*value*/) {
    const LoopTimes times = loopTimes();
    char text[96];
    const int length =
        std::snprintf(text, sizeof text, "ticks=%ld frames=%ld cameraZ=%.9g", times.steps,
                      times.frames, static_cast<double>(Camera::getInstance()->z));
    XChangeProperty(publisher, published, countsAtom, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text), length);
    XFlush(publisher);
    glutTimerFunc(PUBLISH_MS, publishCounts, 0);
}

}  // namespace

void publishCountsIfAsked() {
    if (std::getenv("ENGINE_PUBLISH_COUNTS") == nullptr) {
        return;
    }
    if (publisher == nullptr) {
        publisher = XOpenDisplay(nullptr);
        if (publisher == nullptr) {
            return;
        }
        countsAtom = XInternAtom(publisher, "ENGINE_COUNTS", False);
    }
    // GLUT draws straight into its X window, so the current drawable is that window.
    published = glXGetCurrentDrawable();
    publishCounts(0);
}

#else

void publishCountsIfAsked() {}

#endif
