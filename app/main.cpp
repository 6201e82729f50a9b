// The demo: opens the "Engine" window and hands control to GLUT's main loop.

#include <GL/freeglut.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

#include "app/FrameLoop.h"

namespace {

// GLUT aborts with a cryptic message when there is no display; say what to do instead.
bool displayAvailable() {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || name[0] == '\0') {
        std::fprintf(stderr,
                     "engine: no X display (DISPLAY is not set); run it on a desktop, or "
                     "headless with: xvfb-run -s '-screen 0 1280x1024x24' engine\n");
        return false;
    }
    Display* display = XOpenDisplay(name);
    if (display == nullptr) {
        std::fprintf(stderr,
                     "engine: cannot open X display '%s'; run it on a desktop, or headless "
                     "with: xvfb-run -s '-screen 0 1280x1024x24' engine\n",
                     name);
        return false;
    }
    XCloseDisplay(display);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (!displayAvailable()) {
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

    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);

    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    glutTimerFunc(FRAME_MS, timerTick, 1);
    glutKeyboardFunc(keyPressed);
    glutKeyboardUpFunc(keyReleased);

    initialise();
    glutMainLoop();

    releaseEngine();
    return 0;
}
