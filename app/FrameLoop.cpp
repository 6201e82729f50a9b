#include "app/FrameLoop.h"

#include <GL/freeglut.h>

#include <cstdlib>

#include "app/Camera.h"
#include "app/DemoScene.h"
#include "app/LeakCheck.h"
#include "core/World.h"
#include "input/Keyboard.h"

int windowId = 0;

void initialise() {
    buildScene();
}

void display() {
    glutSetWindow(windowId);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    applyCamera();
    World::getInstance()->draw(FRAME_MS);
    glutPostRedisplay();
    glutSwapBuffers();
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
    glutTimerFunc(FRAME_MS, timerTick, 1);
    if (Keyboard::getInstance()->isKeyDown(KEY_ESCAPE)) {
        quitProgram();
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
