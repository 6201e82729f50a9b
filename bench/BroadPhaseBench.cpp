// One world step of a field of N boxes (about three contacts per box) with the broad phase,
// against Bullet's dynamic-tree broad phase and box-box narrow phase on the same boxes in the
// same process. Each iteration times one engine step and one Bullet step in alternation on
// this thread's CPU clock, so that a busy machine slows both alike, and reports both and
// their ratio, together with how many boxes each finds in contact.
//
// Still: nothing moves. Moving: every box moves and turns a little each step, in the engine
// through its Transform from a component (as a steered or falling box does), in Bullet
// through the objects' world transforms.

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "ThreadClock.h"
#include "collision/BoxCollider.h"
#include "collision/BroadPhase.h"
#include "collision/OrientedBox.h"
#include "core/Component.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "core/World.h"
#include "math/Matrix.h"
#include "support/alloc/AllocationCounter.h"
#include "support/world/BoxField.h"

#ifdef ENGINE_BENCH_BULLET
#include <btBulletCollisionCommon.h>

#endif

namespace {

constexpr int WARM_UP_STEPS = 3;
// Steps a moving box goes one way before it comes back, so that the field keeps its density.
constexpr int LEG_STEPS = 64;

// How one box moves each step: a small displacement, reversed every LEG_STEPS steps, and a
// small turn about x, then y, then z (radians).
struct Motion {
    float velocity[3];
    float turn[3];
};

std::vector<Motion> motions(std::size_t count) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> speed(-0.01f, 0.01f);
    std::uniform_real_distribution<float> angle(-0.01f, 0.01f);
    std::vector<Motion> all(count);
    for (Motion& m : all) {
        for (int k = 0; k < 3; ++k) {
            m.velocity[k] = speed(random);
        }
        for (int k = 0; k < 3; ++k) {
            m.turn[k] = angle(random);
        }
    }
    return all;
}

float legSign(int step) {
    return (step / LEG_STEPS) % 2 == 0 ? 1.0f : -1.0f;
}

// Moves its object through the object's Transform in its update, as controllers do.
class Drift : public Component {
  public:
    explicit Drift(const Motion& motion) : Component(true, false), motion(motion) {}

    void update(int /*elapsedMs*/) override {
        const float sign = legSign(step++);
        owner->transform->translate(sign * motion.velocity[0], sign * motion.velocity[1],
                                    sign * motion.velocity[2]);
        owner->transform->rotate(motion.turn[0], motion.turn[1], motion.turn[2]);
    }

  private:
    Motion motion;
    int step = 0;
};

bool showsContact(const Component& collider) {
    const Color& corner = collider.componentTransform->points[1].color;
    return corner.r == 0.0f && corner.g == 0.5f;
}

struct EngineField {
    EngineField(int count, bool broadPhase, bool moving) {
        if (broadPhase) {
            world.setCandidateSource(std::make_unique<BroadPhase>());
        }
        buildBoxField(world, count);
        if (moving) {
            const std::vector<Motion> all = motions(world.objects.size());
            for (std::size_t i = 0; i < all.size(); ++i) {
                world.objects[i]->addComponent(new Drift(all[i]));
            }
        }
    }

    std::vector<bool> inContact() const {
        std::vector<bool> touching;
        for (const auto& object : world.objects) {
            touching.push_back(showsContact(*object->colliders.at(0)));
        }
        return touching;
    }

    World world;
};

double peakResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// One engine step with the broad phase; reports heap allocations per step (must be zero)
// and the peak resident memory of the process (meaningful when run on its own).
void BM_BroadPhaseStep(benchmark::State& state) {
    EngineField field(static_cast<int>(state.range(0)), true, state.range(1) != 0);
    for (int i = 0; i < WARM_UP_STEPS; ++i) {
        field.world.update(17);
    }
    const AllocationCounter counter;
    for (auto _ : state) {
        field.world.update(17);
    }
    state.counters["allocs_per_step"] = benchmark::Counter(static_cast<double>(counter.count()),
                                                           benchmark::Counter::kAvgIterations);
    state.counters["peak_rss_mb"] = peakResidentMegabytes();
}
BENCHMARK(BM_BroadPhaseStep)
    ->Unit(benchmark::kMillisecond)
    ->ArgNames({"boxes", "moving"})
    ->ArgsProduct({{1000, 10000}, {0, 1}});

// The all-pairs step at 10,000 boxes takes over a second and holds every ordered pair in
// the candidate lists: out of the default run (see the Makefile), one iteration when asked.
void BM_AllPairsStep10k(benchmark::State& state) {
    EngineField field(10000, false, false);
    // The first step grows every candidate list to 9,999 entries; the one timed reuses them.
    field.world.update(17);
    for (auto _ : state) {
        field.world.update(17);
    }
    state.counters["peak_rss_mb"] = peakResidentMegabytes();
}
BENCHMARK(BM_AllPairsStep10k)->Unit(benchmark::kMillisecond)->Iterations(1);

#ifdef ENGINE_BENCH_BULLET

// The same boxes in a Bullet collision world: each box's pose read from the engine's box
// collider, one shared box shape.
class BulletField {
  public:
    BulletField(const World& world, bool moving) : moving(moving) {
        for (const auto& object : world.objects) {
            OrientedBox box;
            OrientedBox::fromCorners(object->colliders.at(0)->componentTransform->points, box);
            const auto& a = box.axes;
            btTransform pose;
            // Columns are the box's axes in world coordinates.
            pose.setBasis(btMatrix3x3(a[0].x, a[1].x, a[2].x, a[0].y, a[1].y, a[2].y, a[0].z,
                                      a[1].z, a[2].z));
            pose.setOrigin(btVector3(box.centre.x, box.centre.y, box.centre.z));
            auto body = std::make_unique<btCollisionObject>();
            body->setCollisionShape(&shape);
            body->setWorldTransform(pose);
            body->setUserIndex(static_cast<int>(bodies.size()));
            collisionWorld.addCollisionObject(body.get());
            bodies.push_back(std::move(body));
        }
        if (moving) {
            const std::vector<Motion> all = motions(bodies.size());
            for (const Motion& m : all) {
                // The engine turns about x, then y, then z: Rz * Ry * Rx.
                const Matrix turn = Matrix(4, 4).rotateZ(m.turn[2]) *
                                    Matrix(4, 4).rotateY(m.turn[1]) *
                                    Matrix(4, 4).rotateX(m.turn[0]);
                turns.emplace_back(turn.get(0, 0), turn.get(0, 1), turn.get(0, 2), turn.get(1, 0),
                                   turn.get(1, 1), turn.get(1, 2), turn.get(2, 0), turn.get(2, 1),
                                   turn.get(2, 2));
                velocities.emplace_back(m.velocity[0], m.velocity[1], m.velocity[2]);
            }
        }
    }

    void step() {
        if (moving) {
            const float sign = legSign(steps++);
            for (std::size_t i = 0; i < bodies.size(); ++i) {
                btTransform& pose = bodies[i]->getWorldTransform();
                pose.setOrigin(pose.getOrigin() + velocities[i] * sign);
                pose.setBasis(turns[i] * pose.getBasis());
            }
        }
        collisionWorld.performDiscreteCollisionDetection();
    }

    std::vector<bool> inContact() {
        std::vector<bool> touching(bodies.size(), false);
        const int manifolds = dispatcher.getNumManifolds();
        for (int i = 0; i < manifolds; ++i) {
            const btPersistentManifold* manifold = dispatcher.getManifoldByIndexInternal(i);
            bool contact = false;
            for (int p = 0; p < manifold->getNumContacts(); ++p) {
                contact = contact || manifold->getContactPoint(p).getDistance() <= 0.0f;
            }
            if (contact) {
                touching[static_cast<std::size_t>(manifold->getBody0()->getUserIndex())] = true;
                touching[static_cast<std::size_t>(manifold->getBody1()->getUserIndex())] = true;
            }
        }
        return touching;
    }

  private:
    bool moving;
    int steps = 0;
    btBoxShape shape{btVector3(1.0f, 1.0f, 1.0f)};
    std::vector<std::unique_ptr<btCollisionObject>> bodies;
    std::vector<btMatrix3x3> turns;
    std::vector<btVector3> velocities;
    btDefaultCollisionConfiguration configuration;
    btCollisionDispatcher dispatcher{&configuration};
    btDbvtBroadphase broadphase;
    // Last: destroyed first, while the objects, shape and dispatcher it uses still exist.
    btCollisionWorld collisionWorld{&dispatcher, &broadphase, &configuration};
};

std::size_t count(const std::vector<bool>& flags) {
    std::size_t n = 0;
    for (const bool flag : flags) {
        n += flag;
    }
    return n;
}

// Engine step and Bullet step in alternation. Reports milliseconds per step of each, the
// ratio engine / Bullet, the boxes each finds in contact and how many boxes they disagree on.
void BM_BoxFieldVersusBullet(benchmark::State& state) {
    const int boxes = static_cast<int>(state.range(0));
    const bool moving = state.range(1) != 0;
    EngineField engine(boxes, true, moving);
    BulletField bullet(engine.world, moving);
    for (int i = 0; i < WARM_UP_STEPS; ++i) {
        engine.world.update(17);
        bullet.step();
    }
    double engineSeconds = 0.0;
    double bulletSeconds = 0.0;
    for (auto _ : state) {
        const double start = threadSeconds();
        engine.world.update(17);
        const double middle = threadSeconds();
        bullet.step();
        const double end = threadSeconds();
        engineSeconds += middle - start;
        bulletSeconds += end - middle;
    }
    const auto steps = static_cast<double>(state.iterations());
    state.counters["engine_ms"] = 1e3 * engineSeconds / steps;
    state.counters["bullet_ms"] = 1e3 * bulletSeconds / steps;
    state.counters["ratio"] = bulletSeconds > 0.0 ? engineSeconds / bulletSeconds : 0.0;
    const std::vector<bool> engineContacts = engine.inContact();
    const std::vector<bool> bulletContacts = bullet.inContact();
    std::size_t differing = 0;
    for (std::size_t i = 0; i < engineContacts.size(); ++i) {
        differing += engineContacts[i] != bulletContacts[i];
    }
    state.counters["engine_touching"] = static_cast<double>(count(engineContacts));
    state.counters["bullet_touching"] = static_cast<double>(count(bulletContacts));
    state.counters["differing"] = static_cast<double>(differing);
}
BENCHMARK(BM_BoxFieldVersusBullet)
    ->Unit(benchmark::kMillisecond)
    ->ArgNames({"boxes", "moving"})
    ->ArgsProduct({{1000, 10000}, {0, 1}});

#endif

}  // namespace
