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
    ContactSolver();
    ~ContactSolver();
    ContactSolver(const ContactSolver&) = delete;
    ContactSolver& operator=(const ContactSolver&) = delete;

    /// Forgets every contact; the storage stays for the next step.
    void clear();
    /// Adds the contact of bodies a and b (indices into `bodies`), its points matched with
    /// `previous` (what impulses() gave for this pair at the last step; may be empty) by id,
    /// or else by place. Friction and restitution are the pair's.
    void add(const std::vector<SolverBody>& bodies, std::uint32_t a, std::uint32_t b,
             const ContactManifold& manifold, float friction, float restitution,
             const ContactImpulse* previous, int previousCount, const ContactSettings& settings);
    /// Warm starts every contact, then the velocity and push passes; the bodies' velocities
    /// and push velocities are the answer.
    void solve(std::vector<SolverBody>& bodies, const ContactSettings& settings);

    /// Writes the impulses of contact k (in add() order) to `out` (room for
    /// ContactManifold::MAX_POINTS) and returns how many.
    int impulses(std::size_t k, ContactImpulse* out) const;

  private:
    // Kept in ContactSolver.cpp: the solver's own layout, four lanes to a vector.
    struct Point;
    struct Manifold;
    struct Motion;
    struct Pair;

    void warmFrom(Manifold& m, const ContactImpulse* previous, int count, float distance);
    void separate(const Manifold& m, int rounds, float Point::*aim, float Point::*accumulated,
                  Pair& bodies);
    void warmStart();
    void solveVelocities();
    void solvePushes();

    std::vector<Manifold> manifolds;
    std::vector<Point> points;
    std::vector<Motion> motions;  // one per body, during solve()
};
