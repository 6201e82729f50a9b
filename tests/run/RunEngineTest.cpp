// runEngine() as a program may misuse it: stopEngine() outside a run, a scene builder that
// throws, a run started inside a run. Each run opens a real window on the test's X server and
// initialises GLUT itself, so these tests have a process of their own (no GL test window).

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "app/Run.h"
#include "core/Component.h"
#include "core/GameObject.h"
#include "core/World.h"
#include "run/SmallWindow.h"

namespace {

// Stops the run with `status` once it has made `steps` steps; says when it is deleted.
class StopAfter : public Component {
  public:
    StopAfter(long steps, int status, bool* deleted = nullptr)
        : Component(true, false), steps(steps), status(status), deleted(deleted) {}
    ~StopAfter() override {
        if (deleted != nullptr) {
            *deleted = true;
        }
    }
    void update(int /*elapsedMs*/) override {
        if (++done == steps) {
            stopEngine(status);
        }
    }

  private:
    long steps;
    int status;
    bool* deleted;
    long done = 0;
};

void addStopper(World& world, long steps, int status, bool* deleted = nullptr) {
    auto* object = new GameObject(true, false, Point());
    object->addComponent(new StopAfter(steps, status, deleted));
    world.addObject(object);
}

int runSteps(long steps, int status) {
    return runEngine(smallWindow("Run test"),
                     [=](World& world) { addStopper(world, steps, status); });
}

TEST(RunEngineTest, StopEngineBeforeOrBetweenRunsDoesNothing) {
    stopEngine(7);
    EXPECT_EQ(runSteps(3, 5), 5);
    EXPECT_EQ(loopTimes().steps, 3);
    stopEngine(7);
    EXPECT_EQ(runSteps(2, 0), 0);
    EXPECT_EQ(loopTimes().steps, 2);
}

TEST(RunEngineTest, ABuilderThatThrowsLeavesTheEngineAsBeforeTheRun) {
    bool deleted = false;
    EXPECT_THROW(runEngine(smallWindow("Run test"),
                           [&](World& world) {
                               addStopper(world, 1, 0, &deleted);
                               throw std::runtime_error("no scene file");
                           }),
                 std::runtime_error);
    EXPECT_TRUE(deleted) << "the world still holds what the builder added";
    // Shut down, GLUT has closed its connection and with it the window.
    EXPECT_EQ(glutGet(GLUT_INIT_STATE), 0) << "GLUT is still initialised";
    EXPECT_EQ(runSteps(3, 4), 4);
    EXPECT_EQ(loopTimes().steps, 3);
}

TEST(RunEngineTest, ARunStartedInsideARunIsRefused) {
    int inner = -1;
    EXPECT_EQ(runEngine(smallWindow("Run test"),
                        [&](World& world) {
                            inner = runEngine(smallWindow("Run test"), {});
                            addStopper(world, 1, 6);
                        }),
              6);
    EXPECT_EQ(inner, 1);
}

}  // namespace
