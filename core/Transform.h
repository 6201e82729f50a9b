#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "math/Matrix.h"
#include "math/Point.h"
#include "math/Quaternion.h"

class GameObject;

// An object's position, and the pivot about which it is sheared.
//
// Movements are not accumulated in a matrix: every operation builds the matrices or
// quaternions it needs, hands each to the owner's components so that their geometry follows,
// then applies the same ones to its own position. Scale and rotations are centred on the
// position, so only translate and an off-centre shear move the position.
class Transform {
  public:
    /// Copies the owner's flags as they are now; position green, pivot red, at the origin.
    explicit Transform(GameObject* owner);
    virtual ~Transform();

    Transform(const Transform&) = delete;
    Transform& operator=(const Transform&) = delete;

    /// Draws the position as a 4-pixel dot when drawing was enabled at construction.
    virtual void draw(int elapsedMs);
    /// Does nothing: a transform moves only when told to.
    virtual void update(int elapsedMs);

    Point getPosition() const { return position; }
    Point getPivot() const { return pivot; }
    /// Stores the coordinates; the position is always shown green.
    void setPosition(Point p);
    void setPivot(Point p) { pivot = p; }

    /// Moves the position and every component's geometry.
    void translate(float dx, float dy, float dz);
    /// Scales the geometry about the position.
    void scale(float sx, float sy, float sz);
    /// Angles in radians, applied about x, then y, then z.
    void rotate(float ax, float ay, float az);
    /// Angles in degrees, combined into one quaternion.
    void rotateQuaternion(float ax, float ay, float az);
    /// Shear factors of Matrix::shear, about the pivot.
    void shear(float a, float b, float c);
    /// Moves the geometry and the position by one 4 x 4 matrix: a whole motion composed
    /// beforehand (a rigid body's turn and move of one step) costs one pass over the points.
    void applyMatrix(const Matrix& m);

    /// Applies the queued matrices (or quaternions) to the position and empties the queue;
    /// the components have had each one already. The operations above queue nothing of
    /// their own; matrices or quaternions that other code queued act before theirs.
    void applyMatrices();
    void applyQuaternions();

    std::string typeTag = "TRANSFORM";
    GameObject* owner = nullptr;
    bool updateEnabled = false;
    bool drawEnabled = false;
    Point position{0.0f, 0.0f, 0.0f, Color(0.0f, 1.0f, 0.0f, 1.0f)};
    Point pivot{0.0f, 0.0f, 0.0f, Color(1.0f, 0.0f, 0.0f, 1.0f)};
    std::vector<Matrix> matrices;
    std::vector<Quaternion> quaternions;

  private:
    /// Hands the matrices to the owner's components, then applies them here.
    void apply(const Matrix* ms, std::size_t count);
    /// Hands each quaternion to the owner's components, then applies them here.
    void apply(const Quaternion* qs, std::size_t count);
    /// Tells the owner, and through it the components' geometry, where the position now is.
    void positionChanged();
};
