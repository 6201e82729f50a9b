#pragma once

#include "math/Quaternion.h"

// The view transform of the whole scene, steered by I, J, K and L once per simulation tick,
// and by the mouse.
//
// Its offset and orientation are applied as they are (not inverted): the scene is rotated
// about its origin, then shifted along the eye axes. Angles are in degrees, with pi taken as
// 3.14159.
class Camera {
  public:
    /// Created on first use, at the origin with no turn.
    static Camera* getInstance();
    static void destroyInstance();

    /// Adds to the offset.
    void move(float dx, float dy, float dz);
    /// Composes the new turn in front of the current orientation: (qy * qz * qx) * orientation.
    void rotate(float xAngle, float yAngle, float zAngle);
    /// One tick of steering: each of I, K held moves 0.2 units along the eye axis, each of J, L
    /// turns 1 degree about y, and any of them hides the world's first object while
    /// hidesFirstObject.
    void update();
    /// Multiplies translation and rotation onto the model-view matrix, which must be current.
    void apply() const;

    /// The mouse (pixels of a drag, notches of the wheel; y grows downwards as on screen). A
    /// drag turns the view about the scene's origin: across, about the vertical axis; up and
    /// down, about the horizontal one.
    void turnByDrag(float dx, float dy);
    /// Shifts the view so that what lies at the depth of the scene's origin follows the
    /// pointer in a window `windowHeight` pixels high.
    void panByDrag(float dx, float dy, int windowHeight);
    /// Each notch away from the user brings the scene a tenth of its distance nearer, each
    /// towards the user takes it as far away; never nearer than NEAREST to the eye.
    void zoomByWheel(int notches);
    /// Distance from the eye to the scene's origin (the projection sets the scene 20 back).
    float originDistance() const;
    static constexpr float NEAREST = 2.0f;

    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    Quaternion orientation{1.0f, 0.0f, 0.0f, 0.0f};
    /// The demonstration's help text is its first object, and goes once the view moves.
    bool hidesFirstObject = true;

  private:
    Camera() = default;
    /// Hides the world's first object while hidesFirstObject: the view has moved.
    void viewMoved();
    static Camera* instance;
};
