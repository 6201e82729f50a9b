#include "input/KeyboardControls3.h"

#include "core/GameObject.h"
#include "core/Transform.h"
#include "input/Keyboard.h"
#include "input/MovementKeys.h"

void KeyboardControls3::update(int /*elapsedMs*/) {
    if (!updateEnabled || owner == nullptr) {
        return;
    }
    if (switchPressed(KEY_3)) {
        owner->drawEnabled = !owner->drawEnabled;
    }
    if (!owner->drawEnabled || !owner->transform) {
        return;
    }
    const Keyboard& keyboard = *Keyboard::getInstance();
    Transform& transform = *owner->transform;
    if (!keyboard.isKeyDown(KEY_SPACE)) {
        applyTranslationKeys(keyboard, transform);
        return;
    }
    if (keyboard.isKeyDown(KEY_W)) {
        scaleBy(1.1f);
    }
    if (keyboard.isKeyDown(KEY_A)) {
        transform.shear(1.0f, 0.0f, 0.0f);
    }
    if (keyboard.isKeyDown(KEY_S)) {
        scaleBy(0.9f);
    }
    if (keyboard.isKeyDown(KEY_D)) {
        transform.shear(-1.0f, 0.0f, 0.0f);
    }
}

// Without the limits, W held for a quarter of a minute would grow the cubes past the largest
// float, and the infinities then turn into NaN and lose the cubes for good; S would shrink
// them to exactly nothing.
void KeyboardControls3::scaleBy(float factor) {
    const float next = netScale * factor;
    if (next > MAX_NET_SCALE || next < MIN_NET_SCALE) {
        return;
    }
    netScale = next;
    owner->transform->scale(factor, factor, factor);
}
