#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/WorldStage.h"
#include "physics/ContactSolver.h"
#include "physics/Solid.h"
#include "physics/SolverBody.h"

class GameObject;
class RigidBody;
class World;

/// When bodies fall asleep.
struct SleepSettings {
    /// Speeds under which a body rests: world units and radians per step.
    float linearSpeed = 0.01f;
    float angularSpeed = 0.01f;
    /// Steps a body must have rested to fall asleep, while no body it touches moves; 0 or
    /// less keeps every body awake.
    int restSteps = 60;
};

// The contact stage: once per running step, after every object has updated, it moves the
// world's rigid bodies (RigidBody). Each awake body takes its forces, finds what it touches
// among the candidates the world offers it (the broad phase's, when it is on, otherwise every
// object), and the contacts are solved together (ContactSolver); then each body moves and
// turns by one matrix through its object's Transform, and bodies that have rested long
// enough fall asleep.
//
// Awake bodies look for their contacts in the world's order, each among its candidates in the
// world's order, and a pair is taken once, by the body that looks first (a sleeping body
// that a moving one touches wakes, and looks after all the others). So a world with the broad
// phase and one without solve the same contacts in the same order, to the bit.
class Dynamics : public WorldStage {
  public:
    explicit Dynamics(const ContactSettings& contacts = ContactSettings(),
                      const SleepSettings& sleep = SleepSettings());

    /// Gives the world a contact stage (replacing any stage it had) and returns it.
    static Dynamics& enable(World& world);

    void beforeUpdates(World& world) override;
    void afterUpdates(World& world) override;
    void objectRemoved(const GameObject& object) override;

    ContactSettings contacts;
    SleepSettings sleep;

    /// What the last step solved.
    struct Step {
        std::size_t bodies = 0;  // rigid bodies in the world
        std::size_t awake = 0;   // of those, simulated in the step
        std::size_t contacts = 0;
        std::size_t points = 0;
        /// Of the awake bodies after the step: the sum of m v^2 / 2 and w.I w / 2.
        double kineticEnergy = 0.0;
    };
    const Step& lastStep() const { return step; }

  private:
    // A contact of this step: the body that owns it, the collider it touches, and the solver
    // index of that collider's body (0 for an obstacle).
    struct Contact {
        RigidBody* owner = nullptr;
        const Component* other = nullptr;
        std::uint32_t otherIndex = 0;
    };
    // What a contact carried from its step into the next.
    struct Touch {
        const Component* other = nullptr;
        int count = 0;
        ContactImpulse impulses[ContactManifold::MAX_POINTS];
    };

    void findBodies(World& world);
    bool belongs(const RigidBody* body) const;
    /// Puts the body into this step's solver; false when it cannot move.
    bool prepare(RigidBody& body);
    void findContacts(World& world, RigidBody& body);
    void touch(RigidBody& body, const Solid& own, GameObject& other);
    void move(RigidBody& body);
    void fallAsleep();

    std::vector<RigidBody*> bodies;
    // Bodies in this step's solver, in the order they entered it (solver index - 1).
    std::vector<RigidBody*> awake;
    std::vector<Solid> solids;  // by solver index
    std::vector<SolverBody> solverBodies;
    std::vector<Contact> found;
    std::vector<Touch> lastTouches;
    // Steps the stage has made.
    std::uint64_t steps = 0;
    std::vector<GameObject*> candidates;
    ContactSolver solver;
    std::vector<char> touching;  // by solver index, while falling asleep

    // When the bodies must be looked for again.
    bool rescan = true;
    std::size_t objectsSeen = 0;
    std::uint64_t attachmentsSeen = 0;
    Step step;
};
