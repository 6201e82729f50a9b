#include "input/MovementKeys.h"

#include "core/Transform.h"
#include "input/Keyboard.h"

namespace {

constexpr float STEP = 0.1f;

}  // namespace

void applyTranslationKeys(const Keyboard& keyboard, Transform& transform) {
    if (keyboard.isKeyDown(KEY_W)) {
        transform.translate(0.0f, 0.0f, -STEP);
    }
    if (keyboard.isKeyDown(KEY_A)) {
        transform.translate(-STEP, 0.0f, 0.0f);
    }
    if (keyboard.isKeyDown(KEY_S)) {
        transform.translate(0.0f, 0.0f, STEP);
    }
    if (keyboard.isKeyDown(KEY_D)) {
        transform.translate(STEP, 0.0f, 0.0f);
    }
    if (keyboard.isKeyDown(KEY_Q)) {
        transform.translate(0.0f, STEP, 0.0f);
    }
    if (keyboard.isKeyDown(KEY_E)) {
        transform.translate(0.0f, -STEP, 0.0f);
    }
}
