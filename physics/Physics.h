#pragma once

#include <vector>

#include "core/Component.h"
#include "math/Point.h"
#include "math/Vector3.h"

// Makes its object move by itself: forces change the velocity, the velocity moves the object.
//
// Motion is per step, not per unit of time: velocity is in world units per step and a force is
// a change of velocity per step, whatever elapsed time update is given. Mass takes no part in
// the motion; the masses only colour the mass points and weight their centre of mass.
//
// The component's point list has fixed roles: 0 is the transform's centre, 1 the centre of
// mass, and every addMass appends one point from index 2 on. `masses` holds one entry per
// point, 0 for the first two.
class Physics : public Component {
  public:
    /// Both flags false, as a plain Component.
    Physics();
    Physics(bool updateEnabled, bool drawEnabled);

    /// Draws the mass points from index 3 on, while showPoints.
    void draw(int elapsedMs) override;
    /// True for this class itself; a subclass may draw by other means.
    bool drawsThroughBatch() const override;
    /// One step while simulating: constant forces, velocity += force, the owner moved by the
    /// new velocity, force cleared.
    void update(int elapsedMs) override;

    /// Acts once, at the next step.
    void addForce(const _Tarn::Vector3& f);
    /// Acts at every step.
    void addConstantForce(const _Tarn::Vector3& f);
    /// Adds one mass point, coloured by its mass (negative masses count as 0).
    void addMass(Point p, float mass);
    /// Recomputes point 1 from the mass points as they stand now.
    void updateCentreOfMass();
    _Tarn::Vector3 getVelocity() const { return velocity; }

    bool simulating = true;
    bool showPoints = true;
    std::vector<float> masses;
    float totalMass = 0.0f;
    std::vector<_Tarn::Vector3> constantForces;
    _Tarn::Vector3 force{0.0f, 0.0f, 0.0f};
    _Tarn::Vector3 velocity{0.0f, 0.0f, 0.0f};
};
