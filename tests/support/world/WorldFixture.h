#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/DemoScene.h"
#include "collision/BoxCollider.h"
#include "collision/CircleCollider.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/World.h"
#include "input/Keyboard.h"
#include "math/Vector3.h"
#include "physics/Mount.h"
#include "physics/Physics.h"
#include "physics/Spring.h"

// A test that owns the World: a fresh one before the test, and none after it (the Keyboard
// goes too, so no key stays down into the next test). The world is the singleton, so that
// what reaches for it (the pause controller, the camera) acts on the test's objects.
//
// The helpers build into, and step, whichever World `world` points at: a test may point it at
// worlds of its own (two worlds compared side by side, say), and restart() points it back at
// a fresh singleton. Every helper adds what it builds to that world, which owns it; the
// handles it returns stay valid until that world goes or the test calls restart().
class WorldFixture : public ::testing::Test {
  public:
    /// The fixed step of the frame loop, in milliseconds.
    static constexpr int STEP_MS = 17;

    /// Attaches a component created with new to `object` and hands it back.
    template <typename C>
    static C& attach(GameObject& object, C* component) {
        object.addComponent(component);
        return *component;
    }
    /// A box collider (the cube from -1 to 1 in each axis) on `object`.
    static BoxCollider& addBox(GameObject& object) {
        return attach(object, new BoxCollider(true, true, true, Point()));
    }
    /// A sphere collider on `object`.
    static CircleCollider& addSphere(GameObject& object, float radius) {
        return attach(object, new CircleCollider(true, true, true, Point(), radius));
    }
    /// Switches `target`'s broad phase on (a new one) or off.
    static void useBroadPhase(World& target, bool on);

  protected:
    /// Where a new object stands, how it is scaled and then turned (radians about x, y, z)
    /// through its Transform. Scale 1 and turn 0 leave the geometry untouched.
    struct Pose {
        _Tarn::Vector3 at{0.0f, 0.0f, 0.0f};
        _Tarn::Vector3 size{1.0f, 1.0f, 1.0f};
        _Tarn::Vector3 turn{0.0f, 0.0f, 0.0f};
    };

    /// One end of a spring: an object with the demonstration's tenth-sized mount, and a
    /// Physics when it is to move (null for a fixed anchor).
    struct SpringEnd {
        GameObject* object = nullptr;
        Mount* mount = nullptr;
        Physics* physics = nullptr;
        /// Where the spring is fastened.
        Point mountPoint() const { return mount->componentTransform->points[1]; }
    };

    /// The demonstration's pair: a fixed anchor at the origin, a body two units to its right,
    /// and the spring (stiffness 0.1) that joins them, updated in that order.
    struct SpringPair {
        SpringEnd anchor;
        SpringEnd body;
        Spring* spring = nullptr;
    };

    WorldFixture() { restart(); }
    ~WorldFixture() override {
        World::destroyInstance();
        Keyboard::destroyInstance();
    }

    /// Empties the world and lets every key go, as if the test had just begun.
    void restart();

    /// A new object at (x, y, z) that updates and draws.
    GameObject& addObject(float x, float y, float z);

    /// A box collider on a new object placed by `pose`, or at (x, y, z).
    BoxCollider& addBox(const Pose& pose);
    BoxCollider& addBox(float x, float y, float z) { return addBox(addObject(x, y, z)); }
    /// A sphere collider on a new object at (x, y, z).
    CircleCollider& addSphere(float x, float y, float z, float radius) {
        return addSphere(addObject(x, y, z), radius);
    }
    /// A Physics, simulating, on a new object at (x, y, z).
    Physics& addBody(float x, float y, float z) {
        return attach(addObject(x, y, z), new Physics(true, true));
    }

    /// An object at (x, 0, 0) carrying a mount scaled to a tenth before the object was moved
    /// there, and a Physics when `withPhysics`.
    SpringEnd addSpringEnd(float x, bool withPhysics);
    /// A spring from `a` to `b`, connected, added after both ends.
    Spring& addSpring(const SpringEnd& a, const SpringEnd& b, float stiffness = 0.1f,
                      float length = 2.0f);
    SpringPair addSpringPair();

    /// The whole demonstration, built into this world.
    DemoScene addDemoScene() { return buildScene(*world); }

    /// Runs `times` steps of the world, each after beforeStep().
    void step(int times = 1) {
        for (int i = 0; i < times; ++i) {
            beforeStep();
            world->update(STEP_MS);
        }
    }
    /// Called before each step(): a test that keeps books on every step overrides it.
    virtual void beforeStep() {}
    static void press(unsigned char key) { Keyboard::getInstance()->keyDown(key, 0, 0); }
    static void release(unsigned char key) { Keyboard::getInstance()->keyUp(key, 0, 0); }
    /// Holds the key down for one step.
    void tap(unsigned char key) {
        press(key);
        step();
        release(key);
    }

    /// "red" (no contact) or "green" (contact) when every corner of a box collider shows
    /// the same, "mixed" when they disagree, "other" for any other colour.
    static std::string cornerColour(const BoxCollider& box);

    World* world = nullptr;
};
