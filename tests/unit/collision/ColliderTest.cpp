#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "collision/BoxCollider.h"
#include "collision/CircleCollider.h"
#include "collision/Collider.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "core/World.h"
#include "math/Matrix.h"
#include "math/Quaternion.h"
#include "support/world/WorldFixture.h"

namespace {

// Counts the tests the collision loop asks of it and remembers whom it was asked about.
class CountingCollider : public Collider {
  public:
    CountingCollider() : Collider(true, true, Point(), true) {}
    bool collide(Component* other) override {
        seen.push_back(other);
        return true;
    }
    std::vector<Component*> seen;
};

// Wears a collider's tag without being one.
class Impostor : public Component {
  public:
    explicit Impostor(const std::string& tag) : Component(true, true) { typeTag = tag; }
};

class ColliderTest : public WorldFixture {};
class CircleColliderTest : public WorldFixture {};
class BoxColliderTest : public WorldFixture {};

}  // namespace

TEST_F(ColliderTest, ConstructorsTagsAndTheBoxCorners) {
    const Collider plain;
    EXPECT_EQ(plain.getTypeTag(), "COLLIDER");
    EXPECT_FALSE(plain.updateEnabled);
    ASSERT_TRUE(plain.hasComponentTransform());
    EXPECT_EQ(plain.componentTransform->points.size(), 1u);

    // Only the constructors with the extra argument hand the centre on to the geometry.
    const Point centre(1, 2, 3, Color());
    const CircleCollider ignoresCentre(true, false, true, centre, 2.5f);
    const CircleCollider usesCentre(true, false, true, centre, 2.5f, 0);
    EXPECT_EQ(ignoresCentre.getTypeTag(), "CIRCLECOLLIDER");
    EXPECT_EQ(ignoresCentre.getRadius(), 2.5f);
    EXPECT_TRUE(ignoresCentre.colliderFlag);
    EXPECT_EQ(ignoresCentre.componentTransform->offset.y, 0);
    EXPECT_EQ(usesCentre.componentTransform->offset.y, 2);
    EXPECT_EQ(CircleCollider(true, true, centre, false).getRadius(), 0);
    EXPECT_EQ(CircleCollider().getTypeTag(), "CIRCLECOLLIDER");

    const BoxCollider usesBoxCentre(true, true, false, centre, 0);
    EXPECT_EQ(usesBoxCentre.componentTransform->offset.z, 3);
    EXPECT_FALSE(usesBoxCentre.colliderFlag);

    // The corner order is what the box test reads its edges from.
    const BoxCollider box;
    EXPECT_EQ(box.getTypeTag(), "BOXCOLLIDER");
    const float corners[8][3] = {{1, 1, 1},   {1, -1, 1}, {-1, -1, 1}, {-1, 1, 1},
                                 {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}, {-1, -1, -1}};
    const auto& points = box.componentTransform->points;
    ASSERT_EQ(points.size(), 9u);
    for (size_t i = 0; i < 8; ++i) {
        SCOPED_TRACE("corner " + std::to_string(i + 1));
        EXPECT_EQ(points[i + 1].x, corners[i][0]);
        EXPECT_EQ(points[i + 1].y, corners[i][1]);
        EXPECT_EQ(points[i + 1].z, corners[i][2]);
    }
    EXPECT_EQ(cornerColour(box), "red");
}

TEST_F(ColliderTest, LoopTestsEveryColliderOfEveryCandidateFromBothSides) {
    GameObject* first = &addObject(0, 0, 0);
    GameObject* second = &addObject(5, 0, 0);
    std::vector<CountingCollider*> ofFirst, ofSecond;
    for (int i = 0; i < 2; ++i) {
        ofFirst.push_back(&attach(*first, new CountingCollider()));
    }
    for (int i = 0; i < 3; ++i) {
        ofSecond.push_back(&attach(*second, new CountingCollider()));
    }
    step();

    // 2 x 3 tests from the first object's colliders and 3 x 2 from the second's, each in the
    // other object's order; never against a collider of the same object.
    const std::vector<Component*> secondsColliders(second->colliders);
    const std::vector<Component*> firstsColliders(first->colliders);
    for (CountingCollider* c : ofFirst) {
        EXPECT_EQ(c->seen, secondsColliders);
    }
    for (CountingCollider* c : ofSecond) {
        EXPECT_EQ(c->seen, firstsColliders);
    }

    // A collider that does not update tests nothing, though it is still tested against.
    ofSecond[0]->updateEnabled = false;
    step();
    EXPECT_EQ(ofSecond[0]->seen.size(), 2u);
    EXPECT_EQ(ofSecond[1]->seen.size(), 4u);
    EXPECT_EQ(ofFirst[0]->seen.size(), 6u);

    // A paused world offers no candidates, so nothing is tested.
    world->running = false;
    step();
    world->running = true;
    EXPECT_EQ(ofSecond[1]->seen.size(), 4u);

    // Detached, or with null candidates, the loop has nothing to walk.
    CountingCollider loose;
    loose.update(17);
    first->collisionCandidates.push_back(nullptr);
    ofFirst[0]->update(17);
    EXPECT_TRUE(loose.seen.empty());
    EXPECT_EQ(ofFirst[0]->seen.size(), 6u);

    // A plain collider touches nothing.
    Collider plain;
    EXPECT_FALSE(plain.collide(ofFirst[0]));
}

TEST_F(CircleColliderTest, SphereTestAndDispatch) {
    struct Case {
        const char* name;
        float radiusA, radiusB;
        float dx, dy, dz;
        bool touching;
    };
    const float nan = std::nanf("");
    const Case cases[] = {
        {"touching", 1, 1, 2, 0, 0, true},
        {"apart", 1, 1, 2.5f, 0, 0, false},
        {"overlapping", 1, 1, 0, 1.5f, 0, true},
        {"touching on a diagonal", 2, 3, 3, 0, 4, true},
        {"apart on a diagonal", 2, 3, 3, 0.01f, 4, false},
        {"two points at one place", 0, 0, 0, 0, 0, true},
        {"one inside the other", 5, 0.1f, 1, 1, 1, true},
        {"distance not a number", 1e6f, 1e6f, nan, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CircleCollider& a = addSphere(1, 2, 3, c.radiusA);
        CircleCollider& b = addSphere(1 + c.dx, 2 + c.dy, 3 + c.dz, c.radiusB);
        EXPECT_EQ(a.collideWithCircle(&b), c.touching);
        EXPECT_EQ(b.collideWith(&a), c.touching);
        // The collision loop's entry point is the base one: never contact.
        EXPECT_FALSE(a.collide(&b));
    }

    // Dispatch goes by the exact tag, and a tag alone does not make a sphere.
    GameObject& object = addObject(0, 0, 0);
    CircleCollider* circle = &addSphere(object, 10);
    BoxCollider* box = &addBox(object);
    Collider plain;
    Impostor fakeCircle("CIRCLECOLLIDER");
    Impostor fakeBox("BOXCOLLIDER");
    EXPECT_FALSE(circle->collideWith(box));
    EXPECT_FALSE(circle->collideWithBox(box));
    EXPECT_FALSE(circle->collideWith(&plain));
    EXPECT_FALSE(circle->collideWith(&fakeCircle));
    EXPECT_FALSE(circle->collideWith(&fakeBox));
    EXPECT_FALSE(circle->collideWith(nullptr));
    EXPECT_FALSE(circle->collideWithCircle(nullptr));
}

TEST_F(BoxColliderTest, DispatchAnswersFalseForAnythingButABoxAndRecoloursNothing) {
    BoxCollider* box = &addBox(0, 0, 0);
    BoxCollider* other = &addBox(0.5f, 0, 0);
    CircleCollider* circle = &addSphere(*other->owner, 10);
    Collider plain;
    Impostor fakeBox("BOXCOLLIDER");

    EXPECT_TRUE(box->collide(other));
    EXPECT_EQ(cornerColour(*box), "green");
    EXPECT_EQ(cornerColour(*other), "red");  // only the testing box shows the answer

    EXPECT_FALSE(box->collide(circle));
    EXPECT_FALSE(box->collideWithCircle(circle));
    EXPECT_FALSE(box->collide(&plain));
    EXPECT_FALSE(box->collide(&fakeBox));
    EXPECT_FALSE(box->collide(nullptr));
    EXPECT_FALSE(box->collideWithBox(nullptr));
    EXPECT_EQ(cornerColour(*box), "green");

    // A box without its corners touches nothing.
    other->componentTransform->clearPoints();
    EXPECT_FALSE(box->collide(other));
    EXPECT_EQ(cornerColour(*box), "red");
}

TEST_F(BoxColliderTest, CornersShowWhetherTheStepFoundAnyContact) {
    // Three boxes on the x axis: `near` overlaps `box`, `far` touches nothing. Whatever the
    // order of the candidates, a box that touched any of them in the step is green.
    struct Case {
        const char* name;
        float nearX, farX;
        bool farFirst;
        const char* box;
        const char* near;
        const char* far;
    };
    const Case cases[] = {
        {"overlap first, then apart", 1.5f, 10, false, "green", "green", "red"},
        {"apart first, then overlap", 1.5f, 10, true, "green", "green", "red"},
        {"touching exactly", 2, -10, false, "green", "green", "red"},
        {"all apart", 2.5f, -10, true, "red", "red", "red"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        const BoxCollider& box = addBox(0, 0, 0);
        const float first = c.farFirst ? c.farX : c.nearX;
        const float second = c.farFirst ? c.nearX : c.farX;
        const BoxCollider& firstAdded = addBox(first, 0, 0);
        const BoxCollider& secondAdded = addBox(second, 0, 0);
        const BoxCollider& near = c.farFirst ? secondAdded : firstAdded;
        const BoxCollider& far = c.farFirst ? firstAdded : secondAdded;
        step();
        EXPECT_EQ(cornerColour(box), c.box);
        EXPECT_EQ(cornerColour(near), c.near);
        EXPECT_EQ(cornerColour(far), c.far);
        // The centre keeps its own colour.
        EXPECT_NE(box.componentTransform->points[0].color.g, 0.5f);
    }
}

TEST_F(BoxColliderTest, ColourStaysWhileNoBoxTestRuns) {
    BoxCollider& box = addBox(0, 0, 0);
    BoxCollider& other = addBox(1, 0, 0);
    GameObject& right = *other.owner;
    step();
    ASSERT_EQ(cornerColour(box), "green");

    right.transform->translate(10, 0, 0);
    world->running = false;  // paused: no candidates
    step();
    EXPECT_EQ(cornerColour(box), "green");

    world->running = true;
    box.updateEnabled = false;  // not testing
    step();
    EXPECT_EQ(cornerColour(box), "green");
    EXPECT_EQ(cornerColour(other), "red");

    // A candidate that carries only a sphere: no box test, no new colour.
    box.updateEnabled = true;
    other.updateEnabled = false;
    right.colliders.assign(1, &addSphere(right, 100));
    step();
    EXPECT_EQ(cornerColour(box), "green");

    right.colliders.assign(1, &other);
    step();
    EXPECT_EQ(cornerColour(box), "red");
}

TEST_F(BoxColliderTest, KeptBoxFollowsEveryChangeOfTheCorners) {
    // Each case first tests a pair (so both colliders keep their boxes), then changes one box's
    // geometry in one way, and tests again from both sides: the answer must follow.
    struct Case {
        const char* name;
        float otherX;  // the other box's centre; this one stands at the origin
        bool before;
        void (*change)(GameObject& object, BoxCollider& box);
        bool after;
    };
    const Case cases[] = {
        {"object moved", 1.5f, true,
         [](GameObject& o, BoxCollider&) { o.transform->translate(5, 0, 0); }, false},
        {"object shrunk", 1.9f, true,
         [](GameObject& o, BoxCollider&) { o.transform->scale(0.1f, 0.1f, 0.1f); }, false},
        {"object turned by matrices", 2.3f, false,
         [](GameObject& o, BoxCollider&) { o.transform->rotate(0, 0, 0.785398f); }, true},
        {"object turned by quaternions", 2.3f, false,
         [](GameObject& o, BoxCollider&) { o.transform->rotateQuaternion(0, 0, 45); }, true},
        {"object grown", 3.5f, false,
         [](GameObject& o, BoxCollider&) { o.transform->scale(3, 3, 3); }, true},
        {"geometry translated", 1.5f, true,
         [](GameObject&, BoxCollider& b) { b.componentTransform->translate(0, 5, 0); }, false},
        {"matrix applied", 1.5f, true,
         [](GameObject&, BoxCollider& b) {
             b.componentTransform->applyMatrix(Matrix(4, 4).translate(0, 0, 5));
         },
         false},
        {"quaternion applied", 1.5f, true,
         [](GameObject&, BoxCollider& b) {
             b.componentTransform->applyQuaternion(Quaternion(0, 5, 0, 0));
         },
         false},
        {"position set", 1.5f, true,
         [](GameObject&, BoxCollider& b) {
             b.componentTransform->setPosition(Point(5, 0, 0, Color()));
         },
         false},
        {"points cleared", 1.5f, true,
         [](GameObject&, BoxCollider& b) { b.componentTransform->clearPoints(); }, false},
        {"points written directly, then announced", 1.5f, true,
         [](GameObject&, BoxCollider& b) {
             for (Point& p : b.componentTransform->points) {
                 p.y += 5;
             }
             b.componentTransform->pointsChanged();
         },
         false},
        {"geometry replaced", 1.5f, true,
         [](GameObject&, BoxCollider& b) {
             b.componentTransform = std::make_unique<ComponentTransform>(&b);
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool changeThis : {false, true}) {
            SCOPED_TRACE(changeThis ? "this box changed" : "other box changed");
            BoxCollider* box = &addBox(0, 0, 0);
            BoxCollider* other = &addBox(c.otherX, 0, 0);
            GameObject* a = box->owner;
            GameObject* b = other->owner;
            ASSERT_EQ(box->collideWithBox(other), c.before);
            ASSERT_EQ(other->collideWithBox(box), c.before);
            // Moving this box by the mirror image of the other's change keeps the case.
            if (changeThis) {
                a->transform->translate(c.otherX, 0, 0);
                b->transform->translate(-c.otherX, 0, 0);
                ASSERT_EQ(box->collideWithBox(other), c.before);
                c.change(*a, *box);
            } else {
                c.change(*b, *other);
            }
            EXPECT_EQ(box->collideWithBox(other), c.after);
            EXPECT_EQ(other->collideWithBox(box), c.after);
        }
    }
}

TEST_F(BoxColliderTest, SubclassesOfBoxesAreTestedAsBoxes) {
    // The quick check for the exact class must not turn away boxes of derived classes.
    class TracedBox : public BoxCollider {
      public:
        TracedBox() : BoxCollider(true, true, true, Point()) {}
    };
    BoxCollider* box = &addBox(0, 0, 0);
    GameObject& b = addObject(1.5f, 0, 0);
    TracedBox* traced = &attach(b, new TracedBox());
    EXPECT_TRUE(box->collide(traced));
    EXPECT_TRUE(traced->collide(box));
    b.transform->translate(5, 0, 0);
    EXPECT_FALSE(box->collide(traced));
    EXPECT_FALSE(traced->collide(box));
}

TEST_F(BoxColliderTest, CornersRecolouredFromOutsideAreRepaintedOnceAnnounced) {
    BoxCollider* box = &addBox(0, 0, 0);
    BoxCollider* other = &addBox(1.5f, 0, 0);
    ASSERT_TRUE(box->collideWithBox(other));
    ASSERT_EQ(cornerColour(*box), "green");

    // Same answer, nothing changed: the corners already show it.
    for (Point& p : box->componentTransform->points) {
        p.color = Color(0, 0, 1, 1);
    }
    box->componentTransform->pointsChanged();
    EXPECT_TRUE(box->collideWithBox(other));
    EXPECT_EQ(cornerColour(*box), "green");

    // Through the collision loop as well.
    step();
    for (size_t i = 1; i < 9; ++i) {
        other->componentTransform->points[i].color = Color(0, 0, 1, 1);
    }
    other->componentTransform->pointsChanged();
    step();
    EXPECT_EQ(cornerColour(*box), "green");
    EXPECT_EQ(cornerColour(*other), "green");
}
