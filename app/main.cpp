// The demo: opens the "Engine" window and hands control to GLUT's main loop.

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

#include "app/CountsProperty.h"
#include "app/FrameLoop.h"
#include "app/SwapInterval.h"

namespace {

// GLUT aborts with a cryptic message when there is no display; say what to do instead. The
// connection stays open to watch the window (see watchWindow).
Display* openDisplay() {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || name[0] == '\0') {
        std::fprintf(stderr,
                     "engine: no X display (DISPLAY is not set); run it on a desktop, or "
                     "headless with: xvfb-run -s '-screen 0 1280x1024x24' engine\n");
        return nullptr;
    }
    Display* display = XOpenDisplay(name);
    if (display == nullptr) {
        std::fprintf(stderr,
                     "engine: cannot open X display '%s'; run it on a desktop, or headless "
                     "with: xvfb-run -s '-screen 0 1280x1024x24' engine\n",
                     name);
    }
    return display;
}

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
void watchWindow(int /*value*/) {
    while (XPending(watcher) > 0) {
        XEvent event;
        XNextEvent(watcher, &event);
        if (event.type == DestroyNotify) {
            leaveMainLoopOnce();
            return;
        }
    }
    glutTimerFunc(WATCH_MS, watchWindow, 0);
}

}  // namespace

int main(int argc, char** argv) {
    watcher = openDisplay();
    if (watcher == nullptr) {
        return 1;
    }
    glutInit(&argc, argv);
    // A depth buffer is requested so that the depth test enabled below really works.
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_DEPTH);
    glutInitWindowSize(500, 500);
    glutInitWindowPosition(500, 500);
    windowId = glutCreateWindow("Engine");
    // Closing the window returns from the main loop, so the world is torn down cleanly.
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    glutCloseFunc(windowClosed);
    defaultXErrorHandler = XSetErrorHandler(onXError);
    // GLUT draws straight into its X window, so the current drawable is that window.
    const GLXDrawable window = glXGetCurrentDrawable();
    XSelectInput(watcher, window, StructureNotifyMask);
    XFlush(watcher);
    // At most one frame per refresh where the driver can wait for it; in any case the frame
    // loop draws no more frames than it makes steps.
    syncSwapsToRefresh();

    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);

    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    glutTimerFunc(FRAME_MS, timerTick, 1);
    glutKeyboardFunc(keyPressed);
    glutKeyboardUpFunc(keyReleased);
    // X's auto-repeat turns a held key into release and press pairs; a tick that fell between
    // the two would see the key up and skip a step. GLUT can recognise the pairs and drop them.
    glutIgnoreKeyRepeat(1);
    glutTimerFunc(WATCH_MS, watchWindow, 0);

    initialise();
    publishCountsIfAsked(watcher, window);
    glutMainLoop();

    releaseEngine();
    XCloseDisplay(watcher);
    return 0;
}
