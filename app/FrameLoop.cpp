#include "app/FrameLoop.h"

#include <GL/freeglut.h>

#include <chrono>

#include "app/Camera.h"
#include "app/KeyScript.h"
#include "app/LeakCheck.h"
#include "app/Pace.h"
#include "app/Screenshot.h"
#include "app/Stats.h"
#include "core/World.h"
#include "input/Keyboard.h"

int windowId = 0;
bool redrawContinuously = false;

namespace {

using Clock = std::chrono::steady_clock;

LoopTimes times;
// Started by the first tick, once the scene is built.
Pace pace{std::chrono::milliseconds(FRAME_MS)};
bool paceStarted = false;
bool stopping = false;
int stopStatus = 0;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

void resetFrameLoop() {
    times = LoopTimes();
    paceStarted = false;
    stopping = false;
    stopStatus = 0;
}

LoopTimes loopTimes() {
    return times;
}

// A frame drawn between two ticks would show the same picture again, so by default the tick
// asks for the frame: the loop then sleeps between ticks instead of drawing without pause.
void display() {
    const Clock::time_point start = Clock::now();
    glutSetWindow(windowId);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    applyCamera();
    World::getInstance()->draw(FRAME_MS);
    drawStatsIfShown();
    int endStatus = 0;
    if (takeRequestedScreenshot(times.frames + 1, endStatus)) {
        requestStop(endStatus);
    }
    if (redrawContinuously) {
        glutPostRedisplay();
    }
    glutSwapBuffers();
    ++times.frames;
    times.frameSeconds += secondsSince(start);
}

void reshape(int width, int height) {
    // A minimised window reports a height of 0; treat it as 1 rather than divide by zero.
    const int safeHeight = height > 0 ? height : 1;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glViewport(0, 0, width, height);
    gluPerspective(60.0, static_cast<double>(width) / safeHeight, 1.0, 100.0);
    glTranslatef(0.0f, 0.0f, -20.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glutSetWindow(windowId);
}

namespace {

// One simulation step and what goes with it; false once the run has stopped (Esc, or a stop
// asked for during the step): the steps still due are not made.
bool makeStep() {
    playKeyScript(times.steps + 1);
    const Clock::time_point start = Clock::now();
    World::getInstance()->update(FRAME_MS);
    times.stepSeconds += secondsSince(start);
    Camera::getInstance()->update();
    ++times.steps;
    Keyboard* keyboard = Keyboard::getInstance();
    if (keyboard->isKeyDown(KEY_ESCAPE)) {
        requestStop(0);
        return false;
    }
    keyboard->endTick();
    return !stopping;
}

// The timer is set for when the next step is due, rounded up to GLUT's milliseconds.
void armTimer(Clock::time_point now) {
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(pace.untilNext(now));
    glutTimerFunc(static_cast<unsigned int>(wait.count()), timerTick, 1);
}

}  // namespace

// The steps due by now, in a row, then one frame: when a frame ran late, the world catches up
// on the clock instead of running in slow motion (up to Pace's bound per frame).
void timerTick(int /*value*/) {
    // The main loop may still run this pass's callbacks after a stop; the world stays as the
    // stop left it.
    if (stopping) {
        return;
    }
    if (!paceStarted) {
        pace.start(Clock::now());
        paceStarted = true;
    }
    const int due = pace.stepsDue(Clock::now());
    times.droppedSteps = pace.dropped();
    for (int i = 0; i < due; ++i) {
        if (!makeStep()) {
            return;
        }
    }
    armTimer(Clock::now());
    if (due > 0 && !redrawContinuously) {
        // By window id: once the window is closed there is no current window, and GLUT would
        // end the process over a plain glutPostRedisplay.
        glutPostWindowRedisplay(windowId);
    }
}

void keyPressed(unsigned char key, int x, int y) {
    Keyboard::getInstance()->keyDown(key, x, y);
}

void keyReleased(unsigned char key, int x, int y) {
    Keyboard::getInstance()->keyUp(key, x, y);
}

void applyCamera() {
    Camera::getInstance()->apply();
}

// The main loop returns once the callback in progress is over; GLUT then destroys the window,
// which calls windowClosed().
void requestStop(int status) {
    if (!stopping) {
        stopping = true;
        stopStatus = status;
        glutLeaveMainLoop();
    }
}

bool stopRequested() {
    return stopping;
}

int requestedStatus() {
    return stopStatus;
}

void releaseEngine() {
    World::destroyInstance();
    Keyboard::destroyInstance();
    Camera::destroyInstance();
}

void windowClosed() {
    // The run is ending: a stop asked for from here on (by a destructor) has nothing to stop.
    stopping = true;
    releaseEngine();
    checkForLeaks();
}
