#include "app/Camera.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "core/World.h"
#include "input/Keyboard.h"

using _Tarn::Vector3;

Camera* Camera::instance = nullptr;

namespace {

// Each held key moves the scene this far, or turns it this many degrees, per simulation tick.
// The keys are read in the tick rather than per drawn frame, so the camera moves at the same
// speed on any machine: at one frame per tick the two are the same.
constexpr float MOVE_STEP = 0.2f;
constexpr float TURN_STEP_DEGREES = 1.0f;

// A drag across 360 pixels turns the scene half round.
constexpr float DRAG_DEGREES_PER_PIXEL = 0.5f;
constexpr float ZOOM_PER_NOTCH = 0.1f;
// The projection of the frame loop: the scene 20 units in front of the eye, 60 degrees high.
constexpr float SCENE_DISTANCE = 20.0f;
constexpr float FIELD_OF_VIEW_RADIANS = 60.0f * 3.14159265f / 180.0f;

Quaternion axisAngleDegrees(float x, float y, float z, float degrees) {
    Quaternion q;
    q.setAxisAngle(Vector3(x, y, z),
                   static_cast<float>(static_cast<double>(degrees) * Quaternion::DEG_TO_RAD));
    return q;
}

}  // namespace

Camera* Camera::getInstance() {
    if (instance == nullptr) {
        instance = new Camera();
    }
    return instance;
}

void Camera::destroyInstance() {
    delete instance;
    instance = nullptr;
}

void Camera::move(float dx, float dy, float dz) {
    x += dx;
    y += dy;
    z += dz;
}

void Camera::rotate(float xAngle, float yAngle, float zAngle) {
    const Quaternion qx = axisAngleDegrees(1.0f, 0.0f, 0.0f, xAngle);
    const Quaternion qy = axisAngleDegrees(0.0f, 1.0f, 0.0f, yAngle);
    const Quaternion qz = axisAngleDegrees(0.0f, 0.0f, 1.0f, zAngle);
    orientation = ((qy * qz) * qx) * orientation;
    orientation.normalize();
}

void Camera::update() {
    const Keyboard* keyboard = Keyboard::getInstance();
    bool moved = false;
    if (keyboard->isKeyDown(KEY_I)) {
        move(0.0f, 0.0f, MOVE_STEP);
        moved = true;
    }
    if (keyboard->isKeyDown(KEY_K)) {
        move(0.0f, 0.0f, -MOVE_STEP);
        moved = true;
    }
    if (keyboard->isKeyDown(KEY_J)) {
        rotate(0.0f, -TURN_STEP_DEGREES, 0.0f);
        moved = true;
    }
    if (keyboard->isKeyDown(KEY_L)) {
        rotate(0.0f, TURN_STEP_DEGREES, 0.0f);
        moved = true;
    }
    if (moved) {
        viewMoved();
    }
}

void Camera::viewMoved() {
    if (hidesFirstObject) {
        World::getInstance()->hideFirstObject();
    }
}

void Camera::turnByDrag(float dx, float dy) {
    rotate(dy * DRAG_DEGREES_PER_PIXEL, dx * DRAG_DEGREES_PER_PIXEL, 0.0f);
    viewMoved();
}

float Camera::originDistance() const {
    return SCENE_DISTANCE - z;
}

void Camera::panByDrag(float dx, float dy, int windowHeight) {
    // The window's height spans 2 d tan(30 degrees) units at distance d (60-degree field).
    const float unitsPerPixel = 2.0f * originDistance() * std::tan(0.5f * FIELD_OF_VIEW_RADIANS) /
                                static_cast<float>(windowHeight > 0 ? windowHeight : 1);
    move(dx * unitsPerPixel, -dy * unitsPerPixel, 0.0f);
    viewMoved();
}

void Camera::zoomByWheel(int notches) {
    const float distance = originDistance();
    const float wanted = distance * std::pow(1.0f - ZOOM_PER_NOTCH, static_cast<float>(notches));
    const float next = std::max(wanted, std::min(NEAREST, distance));
    move(0.0f, 0.0f, distance - next);
    viewMoved();
}

void Camera::apply() const {
    Vector3 axis(1.0f, 0.0f, 0.0f);
    float angle = 0.0f;
    orientation.toAxisAngle(axis, angle);
    const float degrees = static_cast<float>(static_cast<double>(angle) * 180.0 / 3.14159);

    glTranslatef(x, y, z);
    const bool hasTurn = orientation.x != 0.0f || orientation.y != 0.0f || orientation.z != 0.0f;
    if (hasTurn) {
        glRotatef(degrees, axis.x, axis.y, axis.z);
    }
}
