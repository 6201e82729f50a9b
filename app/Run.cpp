#include "app/Run.h"

#include <GL/freeglut.h>

#include <cstdio>
#include <cstring>

#include "app/Camera.h"
#include "app/CommandLine.h"
#include "app/FrameLoop.h"
#include "app/KeyScript.h"
#include "app/LeakCheck.h"
#include "app/NativeDisplay.h"
#include "app/Screenshot.h"
#include "app/Stats.h"
#include "app/SwapInterval.h"
#include "app/ViewControls.h"
#include "core/World.h"
#include "input/Keyboard.h"

namespace {

// From GLUT's initialisation to its shut-down: stopEngine() only acts in between, and a
// second runEngine() is refused.
bool running = false;

// The program's own name, for messages: argv[0] without its directories.
const char* programName(const RunOptions& options) {
    if (options.argc < 1 || options.argv == nullptr || options.argv[0] == nullptr) {
        return "engine";
    }
    const char* slash = std::strrchr(options.argv[0], '/');
    return slash != nullptr ? slash + 1 : options.argv[0];
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

void installCallbacks(const RunOptions& options) {
    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    glutTimerFunc(FRAME_MS, timerTick, 1);
    glutKeyboardFunc(keyPressed);
    glutKeyboardUpFunc(keyReleased);
    if (options.viewControls) {
        installViewControls();
    }
    watchWindow();
}

// Whichever way the run ends. The window's close callback has freed the engine and checked
// for leaks while the GL driver was still loaded; should GLUT ever skip it, both happen here.
void endRun() {
    running = false;
    releaseEngine();
    checkForLeaks();
    disconnectFromDisplay();
}

// The scene builder threw: nothing of the run may outlive it. Shutting GLUT down closes the
// window (its close callback frees the world) and lets the next run initialise GLUT afresh;
// its main loop, which would otherwise do this, never ran.
void abandonRun() {
    // Before GLUT goes: a destructor that asks for a stop meanwhile finds no run to stop.
    running = false;
    glutExit();
    endRun();
}

}  // namespace

int runEngine(const RunOptions& programOptions, const SceneBuilder& buildScene) {
    const char* program = programName(programOptions);
    if (running) {
        std::fprintf(stderr, "%s: runEngine() called during a run; one run at a time\n", program);
        return 1;
    }
    RunOptions options = programOptions;
    readEngineOptions(options);
    if (!connectToDisplay(program)) {
        return 1;
    }
    resetFrameLoop();
    // glutInit takes -geometry out of the command line.
    const GeometryGiven given = geometryOnCommandLine(options.argc, options.argv);
    initialiseGlut(options, program);
    running = true;
    openWindow(options, given);
    installCallbacks(options);

    Camera::getInstance()->hidesFirstObject = options.cameraHidesFirstObject;
    setStatsShown(options.showStats);
    setKeyScript(options.pressKeys);
    configureScreenshots(options.screenshotPath, program, options.screenshotAfterFrames);
    if (buildScene) {
        try {
            buildScene(*World::getInstance());
        } catch (...) {
            abandonRun();
            throw;
        }
    }
    // Keys are read once per tick: a tap that starts and ends between two ticks must still
    // reach one of them (a quick Esc would otherwise be lost).
    Keyboard::getInstance()->latchTaps();

    if (stopRequested()) {
        // Stopped while building: the main loop starts afresh and would not see the stop, but
        // it ends by itself once the window is gone.
        glutDestroyWindow(windowId);
    }
    // Returns with GLUT shut down, the window closed (see GLUT_ACTION_ON_WINDOW_CLOSE).
    glutMainLoop();
    endRun();
    return requestedStatus();
}

void stopEngine(int status) {
    if (running) {
        requestStop(status);
    }
}
