// A wall of boxes standing on a floor, and balls to throw at it: Space throws one from the eye
// to where the view looks, so the mouse aims (left drag turns the view, right drag pans, the
// wheel zooms; I J K L move it too). Boxes and balls are rigid bodies: they fall, rest,
// stack, bounce and slide, and fall asleep once they have come to rest. The floor has a
// collider and no body, so nothing moves it. Esc quits.

#include <GL/freeglut.h>

#include <deque>
#include <memory>

#include "app/Camera.h"
#include "app/Run.h"
#include "collision/BoxCollider.h"
#include "collision/BroadPhase.h"
#include "collision/CircleCollider.h"
#include "core/Component.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "core/World.h"
#include "input/Keyboard.h"
#include "math/Quaternion.h"
#include "physics/Dynamics.h"
#include "physics/RigidBody.h"
#include "shapes/Cube.h"

namespace {

using _Tarn::Vector3;

constexpr int LEVELS = 7;
constexpr float FLOOR_TOP = -7.0f;
// Motion is per step: at 60 steps a second, 9.81 units per second squared is this change of
// velocity per step.
const Vector3 GRAVITY(0.0f, -9.81f / 3600.0f, 0.0f);
constexpr float BALL_RADIUS = 0.7f;
constexpr float BALL_SPEED = 0.45f;  // units per step
// How much higher than the view a ball is thrown, against its fall.
constexpr float LOFT = 0.05f;
constexpr std::size_t MOST_BALLS = 6;
const Point ORIGIN(0.0f, 0.0f, 0.0f, Color(1.0f, 1.0f, 1.0f, 1.0f));

// A solid ball the size of its object's sphere collider, drawn where the collider's centre
// is, in the camera's view like everything else.
class BallShape : public Component {
  public:
    explicit BallShape(float radius) : Component(true, true), radius(radius) {}

    void draw(int /*elapsedMs*/) override {
        if (!drawEnabled || owner == nullptr || owner->colliders.empty()) {
            return;
        }
        const Point& centre = owner->colliders.front()->componentTransform->points[0];
        glColor3f(1.0f, 0.85f, 0.1f);
        glPushMatrix();
        glTranslatef(centre.x, centre.y, centre.z);
        glutSolidSphere(radius, 24, 12);
        glPopMatrix();
    }

  private:
    float radius;
};

// A box of edge 2 that collides and moves as a rigid body.
GameObject* newBox(const Point& at, const Color& colour) {
    auto* box = new GameObject(true, true, at);
    box->addComponent(new Cube(true, true, ORIGIN, colour, true));
    box->addComponent(new BoxCollider(true, false, true, ORIGIN));
    auto* body = new RigidBody(1.0f, 0.6f, 0.1f);
    body->addConstantForce(GRAVITY);
    box->addComponent(body);
    return box;
}

// Where the eye stands in the scene and where it looks. The camera turns the scene about its
// origin and then shifts it, and the projection sets it 20 units back: undone in turn.
void eyeOf(const Camera& camera, Vector3& at, Vector3& looking) {
    const Quaternion turn = camera.orientation.normalized();
    const auto unturned = [&turn](const Vector3& v) {
        const Quaternion p = turn.conjugate() * Quaternion(0.0f, v.x, v.y, v.z) * turn;
        return Vector3(p.x, p.y, p.z);
    };
    at = unturned(Vector3(-camera.x, -camera.y, 20.0f - camera.z));
    looking = unturned(Vector3(0.0f, 0.0f, -1.0f));
}

// Throws a ball from the eye, where the view looks (and a little higher), when Space goes
// down: turn the view with the mouse to aim. The oldest ball goes once there are more than
// MOST_BALLS.
class Thrower : public Component {
  public:
    explicit Thrower(World& world) : Component(true, false), world(world) {}

    void update(int /*elapsedMs*/) override {
        const bool space = Keyboard::getInstance()->isKeyDown(KEY_SPACE);
        if (space && !spaceWasDown) {
            throwBall();
        }
        spaceWasDown = space;
    }

  private:
    void throwBall() {
        Vector3 eye(0.0f, 0.0f, 0.0f);
        Vector3 looking(0.0f, 0.0f, -1.0f);
        eyeOf(*Camera::getInstance(), eye, looking);
        // A few units out, so that the ball starts in sight.
        const Vector3 start = eye + looking * 4.0f;
        auto* ball = new GameObject(true, true, Point(start.x, start.y, start.z, ORIGIN.color));
        ball->addComponent(new BallShape(BALL_RADIUS));
        ball->addComponent(new CircleCollider(true, false, true, ORIGIN, BALL_RADIUS));
        auto* body = new RigidBody(4.0f, 0.4f, 0.3f);
        body->addConstantForce(GRAVITY);
        body->setVelocity((looking + Vector3(0.0f, LOFT, 0.0f)) * BALL_SPEED);
        ball->addComponent(body);
        // Added during a step, the ball joins the world at the next one.
        world.addObject(ball);
        balls.push_back(ball);
        if (balls.size() > MOST_BALLS) {
            world.removeObject(balls.front());
            balls.pop_front();
        }
    }

    World& world;
    std::deque<GameObject*> balls;
    bool spaceWasDown = false;
};

void buildPyramid(World& world) {
    // The broad phase finds the pairs that may touch; the contact stage moves the bodies.
    world.setCandidateSource(std::make_unique<BroadPhase>());
    Dynamics::enable(world);

    // The floor: a flat box with a collider and no body.
    auto* floor = new GameObject(true, true, Point(0.0f, FLOOR_TOP - 1.0f, 0.0f, ORIGIN.color));
    floor->addComponent(new Cube(true, true, ORIGIN, Color(0.4f, 0.4f, 0.45f, 1.0f), true));
    floor->addComponent(new BoxCollider(true, false, true, ORIGIN));
    floor->transform->scale(30.0f, 1.0f, 20.0f);
    world.addObject(floor);

    // Rows of boxes, each one box shorter and centred on the one below, resting as they are.
    for (int row = 0; row < LEVELS; ++row) {
        const int count = LEVELS - row;
        for (int i = 0; i < count; ++i) {
            const float x = 2.0f * static_cast<float>(i) - static_cast<float>(count - 1);
            const float shade = static_cast<float>(row) / static_cast<float>(LEVELS);
            world.addObject(newBox(
                Point(x, FLOOR_TOP + 1.0f + 2.0f * static_cast<float>(row), 0.0f, ORIGIN.color),
                Color(0.2f + 0.6f * shade, 0.5f, 0.9f - 0.6f * shade, 1.0f)));
        }
    }

    auto* thrower = new GameObject(true, false, ORIGIN);
    thrower->addComponent(new Thrower(world));
    world.addObject(thrower);

    // From a little above and to the side, and further back.
    Camera::getInstance()->rotate(20.0f, -30.0f, 0.0f);
    Camera::getInstance()->move(0.0f, 1.0f, -3.0f);
}

}  // namespace

int main(int argc, char** argv) {
    RunOptions options("Pyramid", argc, argv);
    options.viewControls = true;  // the mouse, F3 (stats) and F12 (picture)
    return runEngine(options, buildPyramid);
}
