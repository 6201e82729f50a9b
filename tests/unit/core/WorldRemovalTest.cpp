// Objects leaving the world: nothing left behind may point at them (run under AddressSanitizer,
// a spring fastened to a deleted object reads freed memory), and a removal asked for in the
// middle of a step or a frame waits until it is over.

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/GameObject.h"
#include "core/World.h"
#include "physics/Physics.h"
#include "physics/Spring.h"
#include "physics/Tether.h"
#include "support/world/Scripted.h"
#include "support/world/WorldFixture.h"

namespace {

class WorldRemovalTest : public WorldFixture {
  protected:
    // Asks the world to remove `target` whenever its object updates (or draws), and writes
    // the answer in `journal`.
    static Scripted* remover(std::vector<std::string>& journal, bool onDraw,
                             GameObject* const& target) {
        const auto ask = [&journal, &target, pass = onDraw ? "draw" : "update"](GameObject&) {
            const bool asked = World::getInstance()->removeObject(target);
            journal.push_back(std::string(pass) + (asked ? " asked" : " refused"));
        };
        return onDraw ? new Scripted({}, ask) : new Scripted(ask);
    }
    bool holds(const GameObject* object) const {
        for (const auto& entry : world->objects) {
            if (entry.get() == object) {
                return true;
            }
        }
        return false;
    }
};

}  // namespace

TEST_F(WorldRemovalTest, ASpringLetsGoOfBothEndsWhenEitherObjectLeaves) {
    for (const bool removeAnchor : {true, false}) {
        SCOPED_TRACE(removeAnchor ? "anchor removed" : "body removed");
        restart();
        const SpringPair pair = addSpringPair();
        // The other end: a body whose spring has pulled it for a while.
        const SpringEnd kept = addSpringEnd(-3.0f, true);
        Spring& second = addSpring(kept, removeAnchor ? pair.anchor : pair.body);
        step(20);
        ASSERT_TRUE(world->removeObject(removeAnchor ? pair.anchor.object : pair.body.object));
        for (Spring* spring : {pair.spring, &second}) {
            EXPECT_EQ(spring->endA, nullptr);
            EXPECT_EQ(spring->endB, nullptr);
            EXPECT_EQ(spring->physicsA, nullptr);
            EXPECT_EQ(spring->physicsB, nullptr);
            EXPECT_FALSE(spring->tether->drawEnabled);
        }
        // No spring pulls the kept body any more: once the pull of the last step before the
        // removal has acted, it drifts at the velocity it has.
        step();
        const _Tarn::Vector3 velocity = kept.physics->getVelocity();
        step(20);
        EXPECT_EQ(kept.physics->getVelocity().x, velocity.x);
        EXPECT_EQ(kept.physics->getVelocity().y, velocity.y);
        world->draw(STEP_MS);
        // Connected again, the spring pulls and shows its line again.
        const SpringEnd fresh = addSpringEnd(3.0f, false);
        second.connect(kept.mount, fresh.mount);
        step(2);  // one to pull, one for the pull to act
        EXPECT_NE(kept.physics->getVelocity().x, velocity.x);
        EXPECT_TRUE(second.tether->drawEnabled);
    }
}

TEST_F(WorldRemovalTest, TheDemoLosesItsFallingBoxAndRunsOn) {
    const DemoScene scene = addDemoScene();
    step(10);
    ASSERT_TRUE(world->removeObject(scene.rightBox.object));
    EXPECT_FALSE(holds(scene.rightBox.object));
    EXPECT_EQ(world->objects.size(), 6u);
    EXPECT_EQ(scene.spring->endA, nullptr);
    tap('d');  // the left box moves, tests its collider, and no spring reads the gone box
    step(10);
    EXPECT_EQ(cornerColour(*scene.leftBox.collider), "red");
}

TEST_F(WorldRemovalTest, RemovalDuringAStepOrAFrameWaitsUntilItIsOver) {
    for (const bool onDraw : {false, true}) {
        SCOPED_TRACE(onDraw ? "asked while drawing" : "asked while updating");
        restart();
        std::vector<std::string> journal;
        GameObject& first = addObject(0, 0, 0);
        GameObject* target = nullptr;
        attach(first, remover(journal, onDraw, target));
        addBox(first);
        // The target comes later in the world: it still finishes the pass it is in.
        target = &addObject(1, 0, 0);
        addBox(*target);
        attach(*target,
               new Scripted([&journal](GameObject&) { journal.push_back("witness updated"); }));
        addBox(0.5f, 0, 0);

        if (onDraw) {
            world->draw(STEP_MS);
        } else {
            step();
        }
        EXPECT_FALSE(holds(target));
        const std::vector<std::string> expected =
            onDraw ? std::vector<std::string>{"draw asked"}
                   : std::vector<std::string>{"update asked", "witness updated"};
        EXPECT_EQ(journal, expected);
        for (const auto& object : world->objects) {
            EXPECT_TRUE(object->collisionCandidates.empty());
        }
        // The next pass asks again for an object that is gone: refused, nothing happens.
        journal.clear();
        step();
        world->draw(STEP_MS);
        EXPECT_EQ(journal, std::vector<std::string>{onDraw ? "draw refused" : "update refused"});
    }
}

TEST_F(WorldRemovalTest, OnlyObjectsTheWorldHoldsAreRemoved) {
    GameObject& held = addObject(0, 0, 0);
    GameObject stranger(true, true, Point());
    EXPECT_FALSE(world->removeObject(nullptr));
    EXPECT_FALSE(world->removeObject(&stranger));
    EXPECT_EQ(world->objects.size(), 1u);
    // The candidates of a step in progress forget the object too.
    GameObject& other = addObject(2, 0, 0);
    addBox(other);
    other.collisionCandidates.push_back(&held);
    EXPECT_TRUE(world->removeObject(&held));
    EXPECT_TRUE(other.collisionCandidates.empty());
    EXPECT_FALSE(world->removeObject(&held));
}

TEST_F(WorldRemovalTest, TheBroadPhaseLetsGoOfARemovedBoxAndTakesInNewOnes) {
    for (const bool duringStep : {false, true}) {
        SCOPED_TRACE(duringStep ? "removed during a step" : "removed between steps");
        restart();
        useBroadPhase(*world, true);
        std::vector<std::string> journal;
        BoxCollider& kept = addBox(0, 0, 0);
        GameObject* const leaving = addBox(1, 0, 0).owner;
        addBox(10, 0, 0);
        step();
        ASSERT_EQ(cornerColour(kept), "green");

        if (duringStep) {
            attach(*kept.owner, remover(journal, false, leaving));
            step();
            EXPECT_EQ(journal, std::vector<std::string>{"update asked"});
        } else {
            ASSERT_TRUE(world->removeObject(leaving));
        }
        step(2);
        EXPECT_EQ(cornerColour(kept), "red");
        for (const auto& object : world->objects) {
            EXPECT_TRUE(object->collisionCandidates.empty());
        }
        // An object added after the removal still joins the broad phase.
        addBox(-1, 0, 0);
        step();
        EXPECT_EQ(cornerColour(kept), "green");
    }
}

namespace {

// Leaves the world with the object it follows.
class Follower : public GameObject {
  public:
    Follower(World& world, const GameObject& leader)
        : GameObject(true, true, Point()), world(world), leader(leader) {}
    void forgetObject(const GameObject& removed) override {
        GameObject::forgetObject(removed);
        if (&removed == &leader) {
            world.removeObject(this);
        }
    }
    World& world;
    const GameObject& leader;
};

// Objects that take the block of the last one deleted, as a real allocator may hand a new
// object the address of one just freed.
class Pooled : public GameObject {
  public:
    Pooled() : GameObject(true, true, Point()) {}
    static void* operator new(std::size_t size) {
        return freed != nullptr ? std::exchange(freed, nullptr) : ::operator new(size);
    }
    static void operator delete(void* at) { ::operator delete(std::exchange(freed, at)); }
    static inline void* freed = nullptr;
};

// Runs `act` when it is destroyed with its object.
class OnDestroy : public Component {
  public:
    explicit OnDestroy(std::function<void()> act) : act(std::move(act)) {}
    ~OnDestroy() override { act(); }

  private:
    std::function<void()> act;
};

}  // namespace

TEST_F(WorldRemovalTest, FollowersThatLeaveWithTheirLeaderLeaveSafely) {
    GameObject& leader = addObject(0, 0, 0);
    world->addObject(new Follower(*world, leader));
    GameObject& kept = addObject(1, 0, 0);
    world->addObject(new Follower(*world, leader));
    ASSERT_TRUE(world->removeObject(&leader));
    ASSERT_EQ(world->objects.size(), 1u);
    EXPECT_EQ(world->objects[0].get(), &kept);
}

TEST_F(WorldRemovalTest, ADestructorThatRemovesAnotherObjectIsSafeAlsoWhenTheWorldGoes) {
    for (const bool worldGoes : {false, true}) {
        SCOPED_TRACE(worldGoes ? "the world is destroyed" : "the object is removed");
        auto local = std::make_unique<World>();
        world = local.get();
        GameObject& first = addObject(0, 0, 0);
        GameObject& second = addObject(1, 0, 0);
        attach(first, new OnDestroy([w = world, &second] { w->removeObject(&second); }));
        GameObject& kept = addObject(2, 0, 0);
        if (worldGoes) {
            local.reset();
        } else {
            ASSERT_TRUE(world->removeObject(&first));
            ASSERT_EQ(world->objects.size(), 1u);
            EXPECT_EQ(world->objects[0].get(), &kept);
        }
    }
}

TEST_F(WorldRemovalTest, AQueuedRemovalNeverTakesANewObjectAtTheSameAddress) {
    GameObject& first = addObject(0, 0, 0);
    GameObject* second = new Pooled();
    world->addObject(second);
    // `first` leaves, and on its way out removes `second` and puts a new object in the world.
    GameObject* made = nullptr;
    attach(first, new OnDestroy([&] {
               world->removeObject(second);
               world->addObject(made = new Pooled());
           }));
    attach(addObject(2, 0, 0), atUpdate(1, [&](GameObject&) {
               world->removeObject(&first);
               world->removeObject(second);
           }));
    step();
    ASSERT_EQ(world->objects.size(), 2u);
    EXPECT_EQ(world->objects[1].get(), made);
}

TEST_F(WorldRemovalTest, SwitchingTheBroadPhaseInAStepTakesEffectAtTheNextStep) {
    // Switched off or on by the first object, the rest of the step keeps the candidates it
    // began with: the far box shows no contact, the two that touch show theirs.
    for (const bool on : {false, true}) {
        SCOPED_TRACE(on ? "switched on" : "switched off");
        restart();
        useBroadPhase(*world, !on);
        attach(addObject(0, 0, 0),
               atUpdate(1, [this, on](GameObject&) { useBroadPhase(*world, on); }));
        const BoxCollider* boxes[3] = {&addBox(-20, 0, 0), &addBox(0, 0, 0), &addBox(1.5f, 0, 0)};
        for (int s = 0; s < 2; ++s) {
            step();
            std::vector<std::string> colours;
            for (const BoxCollider* box : boxes) {
                colours.push_back(cornerColour(*box));
            }
            EXPECT_EQ(colours, (std::vector<std::string>{"red", "green", "green"})) << "step " << s;
        }
        EXPECT_EQ(world->getCandidateSource() != nullptr, on);
    }
}
