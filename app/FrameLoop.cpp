#include "app/FrameLoop.h"

#include <GL/freeglut.h>

#include <cstdlib>

#include "app/Camera.h"
#include "app/DemoScene.h"
#include "app/LeakCheck.h"
#include "core/World.h"
#include "input/Keyboard.h"

int windowId = 0;
bool redrawContinuously = false;

namespace {

long ticks = 0;
long frames = 0;

}  // namespace

long ticksMade() {
    return ticks;
}

long framesDrawn() {
    return frames;
}

void initialise() {
    buildScene();
    // Keys are read once per tick: a tap that starts and ends between two ticks must still
    // reach one of them (a quick Esc would otherwise be lost).
    Keyboard::getInstance()->latchTaps();
}

// A frame drawn between two ticks would show the same picture again, so by default the tick
// asks for the frame: the loop then sleeps between ticks instead of drawing without pause.
void display() {
    glutSetWindow(windowId);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    applyCamera();
    World::getInstance()->draw(FRAME_MS);
    if (redrawContinuously) {
        glutPostRedisplay();
    }
    glutSwapBuffers();
    ++frames;
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

void timerTick(int /*value*/) {
    World::getInstance()->update(FRAME_MS);
    Camera::getInstance()->update();
    ++ticks;
    glutTimerFunc(FRAME_MS, timerTick, 1);
    Keyboard* keyboard = Keyboard::getInstance();
    if (keyboard->isKeyDown(KEY_ESCAPE)) {
        quitProgram();
    }
    keyboard->endTick();
    if (!redrawContinuously) {
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

void releaseEngine() {
    World::destroyInstance();
    Keyboard::destroyInstance();
    Camera::destroyInstance();
}

void windowClosed() {
    releaseEngine();
    checkForLeaks();
}

void quitProgram() {
    glutDestroyWindow(windowId);
    releaseEngine();
    checkForLeaks();
    std::exit(0);
}
