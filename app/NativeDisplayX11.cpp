#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

#include "app/NativeDisplay.h"

namespace {

// Another client can destroy the window under us (a window manager's kill, xdotool
// windowclose). GLUT ignores that: it stops drawing a window it no longer sees and the
// process would run on without one, or, if a frame was under way, Xlib's default error
// handler ends the process with status 1. Either way the engine shuts down instead, as if the
// window had been closed; GLUT's own clean-up then meets the missing window again.
constexpr int WATCH_MS = 100;
Display* watcher = nullptr;
int (*defaultXErrorHandler)(Display*, XErrorEvent*) = nullptr;
bool windowLost = false;

void leaveMainLoopOnce() {
    if (!windowLost) {
        windowLost = true;
        glutLeaveMainLoop();
    }
}

int onXError(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadDrawable) {
        leaveMainLoopOnce();
        return 0;
    }
    return defaultXErrorHandler(display, error);
}

// Reads the watching connection's events without waiting: one of them says the window is gone.
void checkWindow(int /*value*/) {
    while (XPending(watcher) > 0) {
        XEvent event;
        XNextEvent(watcher, &event);
        if (event.type == DestroyNotify) {
            leaveMainLoopOnce();
            return;
        }
    }
    glutTimerFunc(WATCH_MS, checkWindow, 0);
}

// X's auto-repeat turns a held key into release and press pairs by default; a tick that fell
// between the two would see the key up and skip a step. The server can send the repeats as
// presses alone, which the key table takes as the same hold going on. GLUT's own filter for
// the pairs is only the fallback: it asks for the keys down now when it reads a release, so
// an engine behind on its events turns the pairs read after the key was let go into taps, and
// a release read after its key was pressed again drops the next event, another key's press.
void reportRepeatsAsPresses() {
    Bool detectable = False;
    if (!XkbSetDetectableAutoRepeat(glXGetCurrentDisplay(), True, &detectable) || !detectable) {
        glutIgnoreKeyRepeat(1);
    }
}

}  // namespace

// The connection stays open to watch the window (see watchWindow).
bool connectToDisplay(const char* program) {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || name[0] == '\0') {
        std::fprintf(stderr,
                     "%s: no X display (DISPLAY is not set); run it on a desktop, or "
                     "headless with: xvfb-run -s '-screen 0 1280x1024x24' %s\n",
                     program, program);
        return false;
    }
    watcher = XOpenDisplay(name);
    if (watcher == nullptr) {
        std::fprintf(stderr,
                     "%s: cannot open X display '%s'; run it on a desktop, or headless "
                     "with: xvfb-run -s '-screen 0 1280x1024x24' %s\n",
                     program, name, program);
        return false;
    }
    windowLost = false;
    return true;
}

void watchWindow() {
    defaultXErrorHandler = XSetErrorHandler(onXError);
    // GLUT draws straight into its X window, so the current drawable is that window.
    XSelectInput(watcher, glXGetCurrentDrawable(), StructureNotifyMask);
    XFlush(watcher);
    glutTimerFunc(WATCH_MS, checkWindow, 0);
    reportRepeatsAsPresses();
}

void disconnectFromDisplay() {
    if (watcher == nullptr) {
        return;
    }
    // The watcher's requests about the window may reach the server after GLUT destroyed it;
    // the error comes back as the connection closes, and is of no interest any more.
    windowLost = true;
    XCloseDisplay(watcher);
    if (defaultXErrorHandler != nullptr) {
        XSetErrorHandler(defaultXErrorHandler);
        defaultXErrorHandler = nullptr;
    }
    watcher = nullptr;
}
