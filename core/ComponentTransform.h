#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "math/Matrix.h"
#include "math/Point.h"
#include "math/Quaternion.h"
#include "math/Vector3.h"

class Component;

// The geometry of one component: coloured points kept in world coordinates.
//
// Point 0 is the centre of the component's geometry; the geometry itself starts at index 1.
// Points are added around the origin, shifted onto the owner's position when the component
// is attached, and from then on every matrix or quaternion of the owner's Transform is applied
// to them at once, so drawn and colliding geometry always follows the object. The owner's
// position is handed in (setPosition at attachment, then ownerMoved): the geometry never
// reads it from the object.
//
// Each matrix is applied to every point before the next one. Right after point 0 has been
// transformed, `position` follows it and `offset` becomes its place relative to the owner,
// which is the pivot of scale, rotate and shear. The operations here queue nothing of their
// own; the queues are for code that collects matrices or quaternions before applying them.
//
// Every operation here that moves, adds or removes points gives the transform a new revision
// (getRevision()). Code that writes `points` directly, positions or colours, must call
// pointsChanged() afterwards.
class ComponentTransform {
    std::uint64_t revision = 0;

  public:
    /// Starts with the centre as the only point; copies the component's draw flag.
    explicit ComponentTransform(Component* component);
    /// The same with the draw flag given; the update flag has no effect.
    ComponentTransform(bool updateEnabled, bool drawEnabled, Component* component = nullptr);
    virtual ~ComponentTransform() = default;

    ComponentTransform(const ComponentTransform&) = delete;
    ComponentTransform& operator=(const ComponentTransform&) = delete;

    /// Does nothing: the points move only when a transformation is applied.
    virtual void update(int elapsedMs);

    /// Room for `count` points in both lists, for a shape that knows how many it will add.
    void reservePoints(std::size_t count);
    /// Appends p as given to localPoints and shifted by the owner's position to points.
    void addPoint(const Point& p);
    /// Leaves only the centre (the current offset) in both lists.
    void clearPoints();
    /// Makes p the centre offset, locally; the world points stay where they are.
    void setCentre(Point p);
    /// Called on attachment: every point moves by p, which becomes `position` and the
    /// owner's position.
    void setPosition(Point p);
    /// The owner now stands at p; the points stay where they are. New points are placed, and
    /// `offset` measured, relative to the owner's position.
    void ownerMoved(const Point& p) { ownerAt = p; }

    /// Queues m (or q) and applies the queue at once.
    void applyMatrix(const Matrix& m);
    void applyQuaternion(const Quaternion& q);
    /// Applies every queued matrix to every point, in queue order, and empties the queue.
    void applyMatrices();
    /// Applies the matrices in order, as if each had been handed to applyMatrix().
    void applyMatrices(const std::vector<Matrix>& ms);
    void applyMatrices(const Matrix* ms, std::size_t count);
    /// A quaternion with w exactly 0 displaces the points by its vector part; any other
    /// rotates them by q * p * conjugate(q).
    void applyQuaternions();

    /// Moves every point, the centre included.
    void translate(float tx, float ty, float tz);
    /// Scales, rotates (radians, x then y then z) and shears about the offset.
    void scale(float sx, float sy, float sz);
    void rotate(float ax, float ay, float az);
    void shear(float a, float b, float c);
    /// Rotates about the offset through one quaternion built from angles in degrees.
    void rotateQuaternion(float ax, float ay, float az);

    /// (x, y, z) of every point, the centre first.
    std::vector<_Tarn::Vector3> getCorners() const;
    /// Unit absolute edge directions between consecutive points from index 1, then from
    /// point 3 back to the last point; empty with fewer than four points.
    std::vector<_Tarn::Vector3> getEdgeNormals() const;

    /// Changes with every operation here that moves, adds or removes points, and with every
    /// pointsChanged(). Never 0, and never the same for two transforms, so a reader may keep
    /// what it derived from the points for as long as the revision stays.
    std::uint64_t getRevision() const { return revision; }
    /// For code that wrote `points` directly: a new revision.
    void pointsChanged();

    std::vector<Point> points;
    Point offset{0.0f, 0.0f, 0.0f, Color(1.0f, 0.0f, 0.0f, 1.0f)};
    Point position{0.0f, 0.0f, 0.0f, Color(0.0f, 0.33f, 0.0f, 1.0f)};
    std::string typeTag = "COMPONENTTRANSFORM";
    /// The owning component (not owned).
    Component* component = nullptr;
    bool drawEnabled = false;
    std::vector<Point> localPoints;
    std::vector<Matrix> matrices;
    std::vector<Quaternion> quaternions;

  private:
    /// Applies the matrices (or quaternions) after whatever other code left queued.
    void applyAfterQueue(const Matrix* ms, std::size_t count);
    void applyAfterQueue(const Quaternion* qs, std::size_t count);
    void applyEach(const Quaternion* qs, std::size_t count);
    /// The owning object's position as last handed in; the origin until attachment.
    Point ownerAt;
    /// Updates position and offset from point 0, right after it was transformed.
    void followCentre();
};
