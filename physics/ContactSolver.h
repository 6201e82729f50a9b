#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "collision/ContactManifold.h"
#include "math/Vector3.h"
#include "physics/SolverBody.h"

/// How contacts are solved. Lengths are world units, speeds world units per step.
struct ContactSettings {
    /// Passes over every contact in a step: as many again for the pushes.
    int iterations = 10;
    /// Contacts closing slower than this do not bounce, whatever the restitution: a body
    /// coming to rest on another stops instead of hopping for ever.
    float restitutionThreshold = 0.02f;
    /// Overlap left in place: resting contacts keep touching from step to step.
    float slop = 0.001f;
    /// Share of the overlap beyond the slop that a push removes in one step.
    float correction = 0.2f;
    /// The fastest a push separates a contact, per step.
    float maxPush = 0.2f;
    /// A contact point whose id is new takes over what the nearest point of the last step
    /// within this distance learnt.
    float matchDistance = 0.05f;
};

/// What one contact point learnt in a step, handed to the next step's point of the same id
/// so that the solver starts from it (warm starting). The friction impulse is kept in world
/// space: the next step's tangents may turn a little with the normal.
struct ContactImpulse {
    std::uint32_t id = 0;
    float normal = 0.0f;
    _Tarn::Vector3 friction{0.0f, 0.0f, 0.0f};
    /// Where the point was, from the centre of body a.
    _Tarn::Vector3 anchor{0.0f, 0.0f, 0.0f};
};

// Sequential impulses on contiguous data. Each contact point has a non-penetration
// constraint along the normal, whose accumulated impulse stays at or above 0, and Coulomb
// friction along two tangents, whose accumulated impulse stays within the friction
// coefficient times the normal one. A contact closing faster than the restitution threshold
// aims at bouncing back at restitution times its closing speed. Overlap is corrected by push
// velocities of their own (split impulses), which move the bodies in this step and are then
// dropped, so that correcting a position never adds kinetic energy.
//
// A step: clear(), add() each contact with the bodies as they are once this step's forces
// have acted, solve(), then impulses() of each contact for the next step.
class ContactSolver {
  public:
    /// Forgets every contact; the storage stays for the next step.
    void clear();
    /// Adds the contact of bodies a and b (indices into `bodies`), its points matched with
    /// `previous` (what impulses() gave for this pair at the last step; may be empty) by id,
    /// or else by place.
    /// Friction and restitution are the pair's.
    void add(const std::vector<SolverBody>& bodies, std::uint32_t a, std::uint32_t b,
             const ContactManifold& manifold, float friction, float restitution,
             const ContactImpulse* previous, int previousCount, const ContactSettings& settings);
    /// Warm starts every contact, then the velocity and push passes.
    void solve(std::vector<SolverBody>& bodies, const ContactSettings& settings);

    std::size_t size() const { return manifolds.size(); }
    /// Writes the impulses of contact k (in add() order) to `out` (room for
    /// ContactManifold::MAX_POINTS) and returns how many.
    int impulses(std::size_t k, ContactImpulse* out) const;
    /// The sum of the normal impulses of contact k: the weight it carried.
    float normalImpulse(std::size_t k) const;

  private:
    // One direction of one point: r x d for each body, and its inverse inertia times that.
    struct Direction {
        _Tarn::Vector3 crossA{0.0f, 0.0f, 0.0f};
        _Tarn::Vector3 crossB{0.0f, 0.0f, 0.0f};
        _Tarn::Vector3 turnA{0.0f, 0.0f, 0.0f};
        _Tarn::Vector3 turnB{0.0f, 0.0f, 0.0f};
        float mass = 0.0f;  // 1 / effective mass along the direction, 0 when nothing moves
    };
    struct Point {
        Direction normal;
        Direction tangent1;
        Direction tangent2;
        float normalImpulse = 0.0f;
        float tangentImpulse1 = 0.0f;
        float tangentImpulse2 = 0.0f;
        float pushImpulse = 0.0f;
        // The separating speed aimed at: back at restitution times the closing speed, or,
        // for a point still apart, the speed that would just close the gap.
        float target = 0.0f;
        float push = 0.0f;  // the push speed aimed at; 0 within the slop
        std::uint32_t id = 0;
        _Tarn::Vector3 anchor{0.0f, 0.0f, 0.0f};  // from the centre of body a
    };
    struct Manifold {
        std::uint32_t a = 0;
        std::uint32_t b = 0;
        _Tarn::Vector3 normal{0.0f, 1.0f, 0.0f};
        _Tarn::Vector3 tangent1{1.0f, 0.0f, 0.0f};
        _Tarn::Vector3 tangent2{0.0f, 0.0f, 1.0f};
        float friction = 0.0f;
        std::uint32_t first = 0;  // into `points`
        std::uint32_t count = 0;
        bool pushes = false;  // some point is deeper than the slop
    };

    void warmFrom(const Manifold& m, const ContactImpulse* previous, int count, float distance);
    void warmStart(std::vector<SolverBody>& bodies) const;
    void solveVelocities(std::vector<SolverBody>& bodies);
    void solvePushes(std::vector<SolverBody>& bodies);

    std::vector<Manifold> manifolds;
    std::vector<Point> points;
};
