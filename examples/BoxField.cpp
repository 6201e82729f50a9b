// A field of colliding boxes: each box's corners turn green while it touches another, and red
// while it touches none. W A S D Q E move the box in front of the field through it (with space
// held, turn it); I J K L move the camera; Esc quits. Every few seconds the program prints
// the mean time of a simulation step and of a drawn frame.
//
// Usage: box-field [count]   (1000 boxes unless told otherwise)

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

#include "app/Camera.h"
#include "app/Run.h"
#include "collision/BoxCollider.h"
#include "collision/BroadPhase.h"
#include "core/Component.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "core/World.h"
#include "input/PlayerKeyboardControls.h"
#include "shapes/Cube.h"

namespace {

constexpr double REPORT_SECONDS = 3.0;
// Room per box, in cubic units: about three neighbours touch each box of edge 2.
constexpr float ROOM_PER_BOX = 30.0f;
const Point ORIGIN(0.0f, 0.0f, 0.0f, Color(1.0f, 0.0f, 0.0f, 1.0f));

// Prints the mean step and frame times since its last report, every REPORT_SECONDS.
class TimingReport : public Component {
  public:
    explicit TimingReport(int boxes) : Component(true, false), boxes(boxes) {}

    void update(int /*elapsedMs*/) override {
        const auto now = std::chrono::steady_clock::now();
        if (std::chrono::duration<double>(now - since).count() < REPORT_SECONDS) {
            return;
        }
        const LoopTimes times = loopTimes();
        const long steps = times.steps - last.steps;
        const long frames = times.frames - last.frames;
        if (steps > 0 && frames > 0) {
            std::printf("%d boxes: step %.3f ms, frame %.3f ms (%ld steps, %ld frames)\n", boxes,
                        1000.0 * (times.stepSeconds - last.stepSeconds) / steps,
                        1000.0 * (times.frameSeconds - last.frameSeconds) / frames, steps, frames);
            std::fflush(stdout);
        }
        last = times;
        since = now;
    }

  private:
    int boxes;
    LoopTimes last;
    std::chrono::steady_clock::time_point since = std::chrono::steady_clock::now();
};

// A box of edge 2 that shows and collides: a Cube and a BoxCollider of the same size.
GameObject* newBox(const Point& at) {
    auto* object = new GameObject(true, true, at);
    object->addComponent(new Cube(true, true, ORIGIN, at.color, true));
    object->addComponent(new BoxCollider(true, true, true, ORIGIN));
    return object;
}

void buildField(World& world, int count) {
    // The broad phase offers each box only the boxes near it, instead of all the others.
    world.setCandidateSource(std::make_unique<BroadPhase>());
    // The same field at every run: a fixed seed.
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const float side = std::cbrt(ROOM_PER_BOX * static_cast<float>(count));
    for (int i = 0; i < count; ++i) {
        const Point at((unit(random) - 0.5f) * side, (unit(random) - 0.5f) * side,
                       (unit(random) - 0.5f) * side,
                       Color(unit(random), unit(random), unit(random), 1.0f));
        GameObject* box = newBox(at);
        box->transform->rotate(3.0f * unit(random), 3.0f * unit(random), 3.0f * unit(random));
        world.addObject(box);
    }

    // The player's box, in front of the field, and the report, which no collision concerns.
    GameObject* player = newBox(Point(0.0f, 0.0f, 0.5f * side + 2.0f, ORIGIN.color));
    player->addComponent(new PlayerKeyboardControls(true, false));
    player->addComponent(new TimingReport(count));
    world.addObject(player);

    // Back far enough to see the whole field, near enough to keep it inside the far plane
    // (100 units from the eye, which starts 20 units in front of the origin).
    Camera::getInstance()->z = -std::min(side, 75.0f - 0.5f * side);
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 && argv[1][0] != '-' ? std::atoi(argv[1]) : 1000;
    if (count < 1) {
        std::fprintf(stderr, "box-field: the count of boxes must be a positive number\n");
        return 2;
    }
    RunOptions options("Box field", argc, argv);
    options.viewControls = true;  // the mouse, F3 (stats) and F12 (picture)
    return runEngine(options, [count](World& world) { buildField(world, count); });
}
