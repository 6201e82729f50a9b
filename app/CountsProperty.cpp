#include "app/CountsProperty.h"

#include <GL/freeglut.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

#include "app/Camera.h"
#include "app/FrameLoop.h"

namespace {

// Often enough that a test never waits long for the next value, rarely enough to cost
// nothing. Each value is read between two callbacks, so its counts and offset belong together.
constexpr int PUBLISH_MS = 10;

Display* publisher = nullptr;
Window published = 0;
Atom countsAtom = 0;

void publishCounts(int /*value*/) {
    char text[96];
    const int length =
        std::snprintf(text, sizeof text, "ticks=%ld frames=%ld cameraZ=%.9g", ticksMade(),
                      framesDrawn(), static_cast<double>(Camera::getInstance()->z));
    XChangeProperty(publisher, published, countsAtom, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text), length);
    XFlush(publisher);
    glutTimerFunc(PUBLISH_MS, publishCounts, 0);
}

}  // namespace

void publishCountsIfAsked(Display* display, unsigned long window) {
    if (std::getenv("ENGINE_PUBLISH_COUNTS") == nullptr) {
        return;
    }
    publisher = display;
    published = window;
    countsAtom = XInternAtom(display, "ENGINE_COUNTS", False);
    publishCounts(0);
}
