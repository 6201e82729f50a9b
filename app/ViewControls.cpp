#include "app/ViewControls.h"

#include <GL/freeglut.h>

#include "app/Camera.h"
#include "app/Screenshot.h"
#include "app/Stats.h"

namespace {

enum class Drag { None, Turn, Pan };

Drag drag = Drag::None;
int lastX = 0;
int lastY = 0;
// Held function keys: the server repeats a held key as presses, which must not toggle again.
bool statsKeyHeld = false;
bool pictureKeyHeld = false;

void mouseButton(int button, int state, int x, int y) {
    if (state == GLUT_UP) {
        drag = Drag::None;
        return;
    }
    if (button == GLUT_LEFT_BUTTON || button == GLUT_RIGHT_BUTTON) {
        drag = button == GLUT_LEFT_BUTTON ? Drag::Turn : Drag::Pan;
        lastX = x;
        lastY = y;
    }
}

void mouseMotion(int x, int y) {
    const float dx = static_cast<float>(x - lastX);
    const float dy = static_cast<float>(y - lastY);
    lastX = x;
    lastY = y;
    if (drag == Drag::Turn) {
        Camera::getInstance()->turnByDrag(dx, dy);
    } else if (drag == Drag::Pan) {
        Camera::getInstance()->panByDrag(dx, dy, glutGet(GLUT_WINDOW_HEIGHT));
    }
}

void mouseWheel(int /*wheel*/, int direction, int /*x*/, int /*y*/) {
    Camera::getInstance()->zoomByWheel(direction);
}

void specialDown(int key, int /*x*/, int /*y*/) {
    if (key == GLUT_KEY_F3 && !statsKeyHeld) {
        statsKeyHeld = true;
        toggleStats();
    } else if (key == GLUT_KEY_F12 && !pictureKeyHeld) {
        pictureKeyHeld = true;
        requestScreenshot();
    }
}

void specialUp(int key, int /*x*/, int /*y*/) {
    if (key == GLUT_KEY_F3) {
        statsKeyHeld = false;
    } else if (key == GLUT_KEY_F12) {
        pictureKeyHeld = false;
    }
}

}  // namespace

void installViewControls() {
    drag = Drag::None;
    statsKeyHeld = false;
    pictureKeyHeld = false;
    glutMouseFunc(mouseButton);
    glutMotionFunc(mouseMotion);
    glutMouseWheelFunc(mouseWheel);
    glutSpecialFunc(specialDown);
    glutSpecialUpFunc(specialUp);
}
