// Runs a scene of one cube for the number of steps given on the command line, then stops by
// itself and says how many steps it made. With 0 it stops while the scene is being built.

#include <cstdio>
#include <cstdlib>

#include "app/Run.h"
#include "core/Component.h"
#include "core/GameObject.h"
#include "core/World.h"
#include "shapes/Cube.h"

namespace {

class StopAfter : public Component {
  public:
    explicit StopAfter(long steps) : Component(true, false), steps(steps) {}
    void update(int /*elapsedMs*/) override {
        if (++done == steps) {
            stopEngine(0);
        }
    }

  private:
    long steps;
    long done = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const long steps = argc > 1 ? std::atol(argv[1]) : 10;
    RunOptions options;
    options.title = "Consumer";
    // Small and off to the side: tests that read pixels run at the same time, their windows
    // at (0, 0) and (500, 500), 500 pixels square.
    options.width = 160;
    options.height = 120;
    options.x = 1100;
    options.y = 0;
    const int status = runEngine(options, [steps](World& world) {
        const Point origin(0.0f, 0.0f, 0.0f, Color(1.0f, 0.0f, 0.0f, 1.0f));
        auto* object = new GameObject(true, true, origin);
        object->addComponent(new Cube(true, true, origin, Color(0.0f, 0.0f, 1.0f, 1.0f), true));
        object->addComponent(new StopAfter(steps));
        world.addObject(object);
        if (steps <= 0) {
            stopEngine(0);
        }
    });
    std::printf("steps=%ld frames>0=%d\n", loopTimes().steps, loopTimes().frames > 0 ? 1 : 0);
    return status;
}
