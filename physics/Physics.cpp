#include "physics/Physics.h"

#include <typeinfo>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/PointDrawing.h"
#include "core/Transform.h"

using _Tarn::Vector3;

namespace {

const Color CENTRE_OF_MASS_COLOUR(1.0f, 0.0f, 0.0f, 1.0f);
const Color NO_MASS_YET_COLOUR(0.0f, 1.0f, 1.0f, 1.0f);
const size_t FIRST_MASS_POINT = 2;

// Black for no mass; heavier points lose red; light ones run from white-ish to red.
Color massColour(const Color& own, float mass) {
    if (mass == 0.0f) {
        return Color(0.0f, 0.0f, 0.0f, 1.0f);
    }
    if (mass > 1.0f) {
        return Color(1.0f / mass, own.g, own.b, own.a);
    }
    return Color(1.0f, (1.0f - mass) / 1.5f, 1.0f - mass, 1.0f);
}

}  // namespace

Physics::Physics() : Physics(false, false) {}

Physics::Physics(bool updateEnabled, bool drawEnabled) : Component(updateEnabled, drawEnabled) {
    typeTag = "PHYSICS";
    componentTransform = std::make_unique<ComponentTransform>(this);
    masses.push_back(0.0f);
    // The centre-of-mass slot is world-space bookkeeping, not geometry: it bypasses addPoint.
    componentTransform->points.emplace_back(0.0f, 0.0f, 0.0f, NO_MASS_YET_COLOUR);
    componentTransform->pointsChanged();
    masses.push_back(0.0f);
}

void Physics::draw(int elapsedMs) {
    Component::draw(elapsedMs);
    if (!showPoints || !componentTransform) {
        return;
    }
    // Index 3 on: the centre, the centre of mass and the first mass point are not shown.
    drawPoints(GL_POINTS, *componentTransform, 3, -1);
}

void Physics::update(int elapsedMs) {
    Component::update(elapsedMs);
    if (!simulating) {
        return;
    }
    for (const Vector3& f : constantForces) {
        force += f;
    }
    // Velocity first, then position by the new velocity (semi-implicit Euler): a body on a
    // spring keeps a bounded energy instead of spiralling outwards.
    velocity += force;
    if (owner != nullptr && owner->transform) {
        owner->transform->translate(velocity.x, velocity.y, velocity.z);
    }
    force = Vector3(0.0f, 0.0f, 0.0f);
}

void Physics::addForce(const Vector3& f) {
    force += f;
}

void Physics::addConstantForce(const Vector3& f) {
    constantForces.push_back(f);
}

void Physics::addMass(Point p, float mass) {
    if (mass < 0.0f) {
        mass = 0.0f;
    }
    p.color = massColour(p.color, mass);
    componentTransform->addPoint(p);
    masses.push_back(mass);
    totalMass += mass;
    updateCentreOfMass();
}

void Physics::updateCentreOfMass() {
    if (!componentTransform || componentTransform->points.size() < FIRST_MASS_POINT) {
        return;
    }
    std::vector<Point>& points = componentTransform->points;
    const size_t count = std::min(points.size(), masses.size());

    // Infinite masses outweigh every finite one, so the centre is their plain mean; otherwise
    // it is the mass-weighted mean; when nothing weighs anything, the plain mean of the mass
    // points. A NaN mass weighs nothing. The centre stays finite where a straight division by
    // totalMass would give 0/0 or inf/inf.
    Vector3 infiniteSum(0.0f, 0.0f, 0.0f);
    Vector3 weightedSum(0.0f, 0.0f, 0.0f);
    Vector3 plainSum(0.0f, 0.0f, 0.0f);
    int infiniteCount = 0;
    int plainCount = 0;
    float weight = 0.0f;
    for (size_t i = FIRST_MASS_POINT; i < count; ++i) {
        const Vector3 at(points[i].x, points[i].y, points[i].z);
        const float m = masses[i];
        plainSum += at;
        ++plainCount;
        if (std::isinf(m)) {
            infiniteSum += at;
            ++infiniteCount;
        } else if (m > 0.0f) {
            Vector3 moment = at;
            moment *= m;
            weightedSum += moment;
            weight += m;
        }
    }

    Vector3 centre(points[0].x, points[0].y, points[0].z);
    if (infiniteCount > 0) {
        centre = infiniteSum / static_cast<float>(infiniteCount);
    } else if (weight > 0.0f) {
        centre = weightedSum / weight;
    } else if (plainCount > 0) {
        centre = plainSum / static_cast<float>(plainCount);
    }
    points[1] = Point(centre.x, centre.y, centre.z, CENTRE_OF_MASS_COLOUR);
    componentTransform->pointsChanged();
}

bool Physics::drawsThroughBatch() const {
    return typeid(*this) == typeid(Physics);
}
