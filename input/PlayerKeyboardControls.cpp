#include "input/PlayerKeyboardControls.h"

#include "core/GameObject.h"
#include "core/Transform.h"
#include "input/Keyboard.h"
#include "input/MovementKeys.h"

namespace {

constexpr float TURN_DEGREES = 5.0f;
constexpr float TURN_RADIANS = 0.1f;

// Note the signs of Q and E: the two modes turn about z in opposite senses.
void rotateByQuaternions(const Keyboard& keyboard, Transform& transform) {
    if (keyboard.isKeyDown(KEY_W)) {
        transform.rotateQuaternion(TURN_DEGREES, 0.0f, 0.0f);
    }
    if (keyboard.isKeyDown(KEY_A)) {
        transform.rotateQuaternion(0.0f, TURN_DEGREES, 0.0f);
    }
    if (keyboard.isKeyDown(KEY_S)) {
        transform.rotateQuaternion(-TURN_DEGREES, 0.0f, 0.0f);
    }
    if (keyboard.isKeyDown(KEY_D)) {
        transform.rotateQuaternion(0.0f, -TURN_DEGREES, 0.0f);
    }
    if (keyboard.isKeyDown(KEY_Q)) {
        transform.rotateQuaternion(0.0f, 0.0f, -TURN_DEGREES);
    }
    if (keyboard.isKeyDown(KEY_E)) {
        transform.rotateQuaternion(0.0f, 0.0f, TURN_DEGREES);
    }
}

void rotateByMatrices(const Keyboard& keyboard, Transform& transform) {
    if (keyboard.isKeyDown(KEY_W)) {
        transform.rotate(TURN_RADIANS, 0.0f, 0.0f);
    }
    if (keyboard.isKeyDown(KEY_A)) {
        transform.rotate(0.0f, TURN_RADIANS, 0.0f);
    }
    if (keyboard.isKeyDown(KEY_S)) {
        transform.rotate(-TURN_RADIANS, 0.0f, 0.0f);
    }
    if (keyboard.isKeyDown(KEY_D)) {
        transform.rotate(0.0f, -TURN_RADIANS, 0.0f);
    }
    if (keyboard.isKeyDown(KEY_Q)) {
        transform.rotate(0.0f, 0.0f, TURN_RADIANS);
    }
    if (keyboard.isKeyDown(KEY_E)) {
        transform.rotate(0.0f, 0.0f, -TURN_RADIANS);
    }
}

}  // namespace

void PlayerKeyboardControls::update(int /*elapsedMs*/) {
    if (!updateEnabled || owner == nullptr || !owner->drawEnabled || !owner->transform) {
        return;
    }
    if (switchPressed(KEY_9)) {
        quaternionMode = !quaternionMode;
    }
    const Keyboard& keyboard = *Keyboard::getInstance();
    Transform& transform = *owner->transform;
    if (!keyboard.isKeyDown(KEY_SPACE)) {
        applyTranslationKeys(keyboard, transform);
    } else if (quaternionMode) {
        rotateByQuaternions(keyboard, transform);
    } else {
        rotateByMatrices(keyboard, transform);
    }
}
