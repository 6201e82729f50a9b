#pragma once

class Keyboard;
class Transform;

/// W A S D Q E without space: move by 0.1 per step along -z, -x, +z, +x, +y, -y. Several keys
/// act in the same step, in that order.
void applyTranslationKeys(const Keyboard& keyboard, Transform& transform);
