// Rigid bodies against Bullet's btDiscreteDynamicsWorld (sequential-impulse solver), on the
// same boxes with the same step (1/60 s, gravity 9.81: the engine's per-step units are
// Bullet's per-second ones times the step) and the same iteration count (10). Each step times
// one engine World::update(17) and one Bullet stepSimulation in alternation on the thread's
// CPU clock, so that a busy machine slows both alike.
//
// BM_PyramidVersusBullet: a wall of 20 rows of boxes (210) standing on a floor. After 600
// steps, the largest distance any box has moved from where it started (drift), and the mean
// step time of each; once as each library runs it, bodies falling asleep, and once with every
// body kept awake, which measures the solvers themselves.
//
// BM_PitVersusBullet: 1,000 or 10,000 boxes dropped into a walled pit from a lattice above
// it. The mean step time over the first 600 steps, then, stepping on (untimed) up to
// SETTLE_LIMIT steps, when each pile settled: when every body is asleep, and when the kinetic
// energy of all bodies fell below that of every body moving at CALM_SPEED.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <memory>
#include <vector>

#include "ThreadClock.h"
#include "collision/BoxCollider.h"
#include "collision/BroadPhase.h"
#include "collision/OrientedBox.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/World.h"
#include "physics/Dynamics.h"
#include "physics/RigidBody.h"
#include "support/alloc/AllocationCounter.h"
#include "support/world/BodyScenes.h"

#ifdef ENGINE_BENCH_BULLET
#include <btBulletDynamicsCommon.h>

#include <memory>
#endif

namespace {

using _Tarn::Vector3;

constexpr int TIMED_STEPS = 600;
constexpr int SETTLE_LIMIT = 2400;
// Units per step (0.3 units per second).
constexpr double CALM_SPEED = 0.005;

struct EngineScene {
    EngineScene() {
        world.setCandidateSource(std::make_unique<BroadPhase>());
        dynamics = &Dynamics::enable(world);
    }

    const OrientedBox& boxOf(const GameObject& object) const {
        return *static_cast<BoxCollider*>(object.colliders.at(0))->plainBox();
    }
    Vector3 centre(const RigidBody& body) const { return boxOf(*body.owner).centre; }
    bool allAsleep() const {
        for (const RigidBody* body : bodies) {
            if (!body->isAsleep()) {
                return false;
            }
        }
        return true;
    }
    double kineticEnergy() const { return dynamics->lastStep().kineticEnergy; }

    World world;
    Dynamics* dynamics = nullptr;
    std::vector<RigidBody*> bodies;
};

double largestDrift(const std::vector<Vector3>& from, const std::vector<Vector3>& to) {
    double most = 0.0;
    for (std::size_t i = 0; i < from.size(); ++i) {
        const Vector3 d = to[i] - from[i];
        most = std::fmax(most, static_cast<double>(std::sqrt(d.dot(d))));
    }
    return most;
}

#ifdef ENGINE_BENCH_BULLET

constexpr float STEP_SECONDS = 1.0f / bodyScenes::STEPS_PER_SECOND;

// The same bodies and obstacles in Bullet, each read from the engine's box colliders. Bullet
// multiplies the two frictions of a contact where the engine takes the root of their product
// (or the body's own against an obstacle): every Bullet friction is the root of the engine's,
// so that both see the same friction in every contact.
class BulletScene {
  public:
    explicit BulletScene(const EngineScene& engine, bool sleeping = true) {
        world.setGravity(btVector3(0.0f, -9.81f, 0.0f));
        world.getSolverInfo().m_numIterations = engine.dynamics->contacts.iterations;
        for (const auto& object : engine.world.objects) {
            if (object->colliders.empty()) {
                continue;
            }
            const auto* body = static_cast<const RigidBody*>(object->rigidBody);
            const float mass = body != nullptr ? body->getMass() : 0.0f;
            const float friction =
                std::sqrt(body != nullptr ? body->getFriction() : RigidBody::DEFAULT_FRICTION);
            add(engine.boxOf(*object), mass, friction, body != nullptr);
        }
        if (!sleeping) {
            for (btRigidBody* body : moving) {
                body->setActivationState(DISABLE_DEACTIVATION);
            }
        }
    }

    ~BulletScene() {
        for (auto& body : bodies) {
            world.removeRigidBody(body.get());
        }
    }

    void step() { world.stepSimulation(STEP_SECONDS, 0, STEP_SECONDS); }

    std::vector<Vector3> centres() const {
        std::vector<Vector3> all;
        for (const btRigidBody* body : moving) {
            const btVector3& at = body->getWorldTransform().getOrigin();
            all.emplace_back(at.x(), at.y(), at.z());
        }
        return all;
    }
    bool allAsleep() const {
        for (const btRigidBody* body : moving) {
            if (body->isActive()) {
                return false;
            }
        }
        return true;
    }
    // In the engine's units: per step.
    double kineticEnergy() const {
        double energy = 0.0;
        for (const btRigidBody* body : moving) {
            const btVector3 v = body->getLinearVelocity() * STEP_SECONDS;
            const btVector3 w = body->getAngularVelocity() * STEP_SECONDS;
            const btVector3 inertiaW = body->getInvInertiaTensorWorld().inverse() * w;
            energy += 0.5 * static_cast<double>(v.length2() / body->getInvMass()) +
                      0.5 * static_cast<double>(w.dot(inertiaW));
        }
        return energy;
    }

  private:
    void add(const OrientedBox& box, float mass, float friction, bool moves) {
        const btVector3 half(box.halfWidths[0], box.halfWidths[1], box.halfWidths[2]);
        shapes.push_back(std::make_unique<btBoxShape>(half));
        btBoxShape* shape = shapes.back().get();
        btVector3 inertia(0.0f, 0.0f, 0.0f);
        if (mass > 0.0f) {
            shape->calculateLocalInertia(mass, inertia);
        }
        btRigidBody::btRigidBodyConstructionInfo info(mass, nullptr, shape, inertia);
        const auto& a = box.axes;
        // Columns are the box's axes in world coordinates.
        info.m_startWorldTransform.setBasis(
            btMatrix3x3(a[0].x, a[1].x, a[2].x, a[0].y, a[1].y, a[2].y, a[0].z, a[1].z, a[2].z));
        info.m_startWorldTransform.setOrigin(btVector3(box.centre.x, box.centre.y, box.centre.z));
        info.m_friction = friction;
        info.m_restitution = 0.0f;
        bodies.push_back(std::make_unique<btRigidBody>(info));
        world.addRigidBody(bodies.back().get());
        if (moves) {
            moving.push_back(bodies.back().get());
        }
    }

    std::vector<std::unique_ptr<btBoxShape>> shapes;
    std::vector<std::unique_ptr<btRigidBody>> bodies;
    std::vector<btRigidBody*> moving;
    btDefaultCollisionConfiguration configuration;
    btCollisionDispatcher dispatcher{&configuration};
    btDbvtBroadphase broadphase;
    btSequentialImpulseConstraintSolver solver;
    // Last: destroyed first, while everything it uses still exists.
    btDiscreteDynamicsWorld world{&dispatcher, &broadphase, &solver, &configuration};
};

// Engine and Bullet stepped in alternation; the seconds each spent.
struct Timing {
    double engine = 0.0;
    double bullet = 0.0;

    /// Adds the engine step's heap allocations to `allocations` when given.
    void step(EngineScene& e, BulletScene& b, std::size_t* allocations = nullptr) {
        const double start = threadSeconds();
        const std::size_t before = AllocationCounter::total();
        e.world.update(17);
        if (allocations != nullptr) {
            *allocations += AllocationCounter::total() - before;
        }
        const double middle = threadSeconds();
        b.step();
        const double end = threadSeconds();
        engine += middle - start;
        bullet += end - middle;
    }
    void report(benchmark::State& state, int steps) const {
        state.counters["engine_ms"] = 1e3 * engine / steps;
        state.counters["bullet_ms"] = 1e3 * bullet / steps;
        state.counters["ratio"] = bullet > 0.0 ? engine / bullet : 0.0;
    }
};

void BM_PyramidVersusBullet(benchmark::State& state) {
    const int levels = static_cast<int>(state.range(0));
    const bool sleeping = state.range(1) != 0;
    for (auto _ : state) {
        EngineScene engine;
        if (!sleeping) {
            engine.dynamics->sleep.restSteps = 0;
        }
        engine.bodies = bodyScenes::buildPyramid(engine.world, levels);
        BulletScene bullet(engine, sleeping);
        std::vector<Vector3> start;
        for (const RigidBody* body : engine.bodies) {
            start.push_back(engine.centre(*body));
        }
        const std::vector<Vector3> bulletStart = bullet.centres();
        Timing timing;
        for (int i = 0; i < TIMED_STEPS; ++i) {
            timing.step(engine, bullet);
        }
        std::vector<Vector3> end;
        for (const RigidBody* body : engine.bodies) {
            end.push_back(engine.centre(*body));
        }
        timing.report(state, TIMED_STEPS);
        state.counters["engine_drift"] = largestDrift(start, end);
        state.counters["bullet_drift"] = largestDrift(bulletStart, bullet.centres());
        state.counters["engine_asleep"] = engine.allAsleep();
        state.counters["bullet_asleep"] = bullet.allAsleep();
    }
}
BENCHMARK(BM_PyramidVersusBullet)
    ->Unit(benchmark::kMillisecond)
    ->ArgNames({"levels", "sleeping"})
    ->Args({20, 1})
    ->Args({20, 0})
    ->Iterations(1)
    ->Repetitions(1);

// When a pile settled: the first step at which every body was asleep, and the step after
// the last one at which the kinetic energy was at least `calmEnergy`; SETTLE_LIMIT + 1 when it
// never happened within the run.
struct Settling {
    int asleep = SETTLE_LIMIT + 1;
    int calm = 1;

    void check(int step, bool allAsleep, double energy, double calmEnergy) {
        if (allAsleep && asleep > SETTLE_LIMIT) {
            asleep = step;
        }
        if (!(energy < calmEnergy)) {
            calm = step + 1;
        }
    }
    bool asleepNow() const { return asleep <= SETTLE_LIMIT; }
};

void BM_PitVersusBullet(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        EngineScene engine;
        engine.bodies = bodyScenes::buildPit(engine.world, count).boxes;
        BulletScene bullet(engine);
        const double calmEnergy = 0.5 * count * CALM_SPEED * CALM_SPEED;
        Timing timing;
        Settling engineSettles;
        Settling bulletSettles;
        std::size_t allocations = 0;
        for (int i = 1; i <= SETTLE_LIMIT; ++i) {
            if (i <= TIMED_STEPS) {
                // The engine's allocations in the last hundred timed steps: none once its
                // lists have grown to the pile's.
                timing.step(engine, bullet, i > TIMED_STEPS - 100 ? &allocations : nullptr);
            } else {
                // A pile asleep stays asleep: nothing more to learn from stepping it.
                if (!engineSettles.asleepNow()) {
                    engine.world.update(17);
                }
                if (!bulletSettles.asleepNow()) {
                    bullet.step();
                }
            }
            engineSettles.check(i, engine.allAsleep(), engine.kineticEnergy(), calmEnergy);
            bulletSettles.check(i, bullet.allAsleep(), bullet.kineticEnergy(), calmEnergy);
            if (i >= TIMED_STEPS && engineSettles.asleepNow() && bulletSettles.asleepNow()) {
                break;
            }
        }
        // Calm up to the end of a run cut short by SETTLE_LIMIT is not calm yet.
        if (engineSettles.calm > SETTLE_LIMIT && !engineSettles.asleepNow()) {
            engineSettles.calm = SETTLE_LIMIT + 1;
        }
        if (bulletSettles.calm > SETTLE_LIMIT && !bulletSettles.asleepNow()) {
            bulletSettles.calm = SETTLE_LIMIT + 1;
        }
        timing.report(state, TIMED_STEPS);
        state.counters["engine_asleep_at"] = engineSettles.asleep;
        state.counters["bullet_asleep_at"] = bulletSettles.asleep;
        state.counters["engine_calm_at"] = engineSettles.calm;
        state.counters["bullet_calm_at"] = bulletSettles.calm;
        state.counters["allocs_per_step"] = static_cast<double>(allocations) / 100.0;
    }
}
BENCHMARK(BM_PitVersusBullet)
    ->Unit(benchmark::kMillisecond)
    ->ArgName("boxes")
    ->Arg(1000)
    ->Arg(10000)
    ->Iterations(1)
    ->Repetitions(1);

#endif

}  // namespace
