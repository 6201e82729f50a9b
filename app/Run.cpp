#include "app/Run.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/Camera.h"
#include "app/CommandLine.h"
#include "app/CountsProperty.h"
#include "app/FrameLoop.h"
#include "app/KeyScript.h"
#include "app/LeakCheck.h"
#include "app/Screenshot.h"
#include "app/Stats.h"
#include "app/SwapInterval.h"
#include "app/ViewControls.h"
#include "core/World.h"
#include "input/Keyboard.h"

namespace {

// The program's own name, for messages: argv[0] without its directories.
const char* programName(const RunOptions& options) {
    if (options.argc < 1 || options.argv == nullptr || options.argv[0] == nullptr) {
        return "engine";
    }
    const char* slash = std::strrchr(options.argv[0], '/');
    return slash != nullptr ? slash + 1 : options.argv[0];
}

// GLUT aborts with a cryptic message when there is no display; say what to do instead. The
// connection stays open to watch the window (see watchWindow).
Display* openDisplay(const char* program) {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || name[0] == '\0') {
        std::fprintf(stderr,
                     "%s: no X display (DISPLAY is not set); run it on a desktop, or "
                     "headless with: xvfb-run -s '-screen 0 1280x1024x24' %s\n",
                     program, program);
        return nullptr;
    }
    Display* display = XOpenDisplay(name);
    if (display == nullptr) {
        std::fprintf(stderr,
                     "%s: cannot open X display '%s'; run it on a desktop, or headless "
                     "with: xvfb-run -s '-screen 0 1280x1024x24' %s\n",
                     program, name, program);
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

// GLUT wants a command line; a program that has none to give gets one with just a name.
void initialiseGlut(const RunOptions& options, const char* program) {
    if (options.argc > 0 && options.argv != nullptr) {
        int argc = options.argc;
        glutInit(&argc, options.argv);
        return;
    }
    char name[64];
    std::snprintf(name, sizeof name, "%s", program);
    char* argv[] = {name, nullptr};
    int argc = 1;
    glutInit(&argc, argv);
}

// What -geometry gave GLUT (read by glutInit) wins over the options. The options' corner is
// moved as little as needed to keep the window on a smaller screen.
void openWindow(const RunOptions& options, GeometryGiven given) {
    // A depth buffer is requested so that the depth test enabled below really works.
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_DEPTH);
    if (!given.size) {
        glutInitWindowSize(options.width, options.height);
    }
    if (!given.position) {
        int x = options.x;
        int y = options.y;
        keepOnScreen(x, y, given.size ? glutGet(GLUT_INIT_WINDOW_WIDTH) : options.width,
                     given.size ? glutGet(GLUT_INIT_WINDOW_HEIGHT) : options.height,
                     glutGet(GLUT_SCREEN_WIDTH), glutGet(GLUT_SCREEN_HEIGHT));
        glutInitWindowPosition(x, y);
    }
    windowId = glutCreateWindow(options.title.c_str());
    // Closing the window returns from the main loop, so the world is torn down cleanly.
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    glutCloseFunc(windowClosed);
    // At most one frame per refresh where the driver can wait for it; in any case the frame
    // loop draws no more frames than it makes steps.
    syncSwapsToRefresh();

    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
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

void installCallbacks() {
    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    glutTimerFunc(FRAME_MS, timerTick, 1);
    glutKeyboardFunc(keyPressed);
    glutKeyboardUpFunc(keyReleased);
    reportRepeatsAsPresses();
    installViewControls();
    glutTimerFunc(WATCH_MS, watchWindow, 0);
}

}  // namespace

int runEngine(const RunOptions& programOptions, const SceneBuilder& buildScene) {
    RunOptions options = programOptions;
    readEngineOptions(options);
    const char* program = programName(options);
    watcher = openDisplay(program);
    if (watcher == nullptr) {
        return 1;
    }
    windowLost = false;
    resetFrameLoop();
    // glutInit takes -geometry out of the command line.
    const GeometryGiven given = geometryOnCommandLine(options.argc, options.argv);
    initialiseGlut(options, program);
    openWindow(options, given);
    defaultXErrorHandler = XSetErrorHandler(onXError);
    // GLUT draws straight into its X window, so the current drawable is that window.
    const GLXDrawable window = glXGetCurrentDrawable();
    XSelectInput(watcher, window, StructureNotifyMask);
    XFlush(watcher);
    installCallbacks();

    Camera::getInstance()->hidesFirstObject = options.cameraHidesFirstObject;
    setStatsShown(options.showStats);
    setKeyScript(options.pressKeys);
    configureScreenshots(options.screenshotPath, program, options.screenshotAfterFrames);
    if (buildScene) {
        buildScene(*World::getInstance());
    }
    // Keys are read once per tick: a tap that starts and ends between two ticks must still
    // reach one of them (a quick Esc would otherwise be lost).
    Keyboard::getInstance()->latchTaps();
    publishCountsIfAsked(watcher, window);

    if (stopRequested()) {
        // Stopped while building: the main loop starts afresh and would not see the stop, but
        // it ends by itself once the window is gone.
        glutDestroyWindow(windowId);
    }
    glutMainLoop();

    // The window's close callback has freed the engine and checked for leaks while the GL
    // driver was still loaded; should GLUT ever skip it, both happen here.
    releaseEngine();
    checkForLeaks();
    // The watcher's requests about the window may reach the server after GLUT destroyed it;
    // the error comes back as the connection closes, and is of no interest any more.
    windowLost = true;
    XCloseDisplay(watcher);
    XSetErrorHandler(defaultXErrorHandler);
    watcher = nullptr;
    return requestedStatus();
}
