// The frame loop's pace, in a real run (runEngine in this process, its own window): the steps
// made over a stretch of frames follow the test's own clock, whether a frame takes less than
// a step or several steps' time. In engine_run_tests with the other whole runs: runEngine opens
// GLUT itself, which the GL tests' shared window would forbid.

#include <gtest/gtest.h>

#include <chrono>

#include "app/FrameLoop.h"
#include "app/Pace.h"
#include "app/Run.h"
#include "core/GameObject.h"
#include "core/World.h"
#include "run/SmallWindow.h"
#include "support/world/Scripted.h"

namespace {

using Clock = std::chrono::steady_clock;

// The clock and the loop's counts at both ends of the stretch.
struct Stretch {
    long firstFrame = 5;
    long lastFrame = 30;
    bool started = false;
    bool ended = false;
    Clock::time_point startedAt;
    Clock::time_point endedAt;
    LoopTimes atStart;
    LoopTimes atEnd;
};

Stretch runStretch(std::chrono::milliseconds drawCost) {
    Stretch stretch;
    // Reads the clock and the counts in the first step after firstFrame frames and in the
    // first after lastFrame, then ends the run; busy work in every frame makes each take
    // `drawCost`.
    const auto read = [&stretch](GameObject&) {
        const LoopTimes times = loopTimes();
        if (!stretch.started && times.frames >= stretch.firstFrame) {
            stretch.startedAt = Clock::now();
            stretch.atStart = times;
            stretch.started = true;
        } else if (stretch.started && !stretch.ended && times.frames >= stretch.lastFrame) {
            stretch.endedAt = Clock::now();
            stretch.atEnd = times;
            stretch.ended = true;
            stopEngine(0);
        }
    };
    const auto work = [drawCost](GameObject&) {
        for (const Clock::time_point end = Clock::now() + drawCost; Clock::now() < end;) {
        }
    };
    const int status = runEngine(smallWindow("Pace test"), [&](World& world) {
        auto* object = new GameObject(true, true, Point());
        object->addComponent(new Scripted(read, drawCost.count() > 0 ? work : Scripted::Action()));
        world.addObject(object);
    });
    EXPECT_EQ(status, 0);
    // The stop was asked for in the step that read the end: none of the steps due with it
    // follows.
    EXPECT_EQ(loopTimes().steps, stretch.atEnd.steps + 1) << "steps made after the stop";
    return stretch;
}

}  // namespace

TEST(PaceRunTest, StepsFollowTheClockWithSlowFramesAndWithFastOnes) {
    struct Case {
        const char* name;
        std::chrono::milliseconds drawCost;
    };
    for (const Case& c : {Case{"fast draw", std::chrono::milliseconds(0)},
                          Case{"60 ms draw", std::chrono::milliseconds(60)}}) {
        SCOPED_TRACE(c.name);
        const Stretch s = runStretch(c.drawCost);
        ASSERT_TRUE(s.started);
        const double clockSteps = std::chrono::duration<double>(s.endedAt - s.startedAt) /
                                  std::chrono::milliseconds(FRAME_MS);
        const long steps = s.atEnd.steps - s.atStart.steps;
        const long dropped = s.atEnd.droppedSteps - s.atStart.droppedSteps;
        const long frames = s.atEnd.frames - s.atStart.frames;
        const std::string seen = "over " + std::to_string(clockSteps) +
                                 " steps' time: " + std::to_string(steps) + " steps, " +
                                 std::to_string(dropped) + " dropped, " + std::to_string(frames) +
                                 " frames";
        // Each end is read in a step that may run up to a frame's catching up late.
        EXPECT_NEAR(static_cast<double>(steps + dropped), clockSteps, Pace::MAX_STEPS_PER_FRAME)
            << seen;
        EXPECT_LE(frames, steps + 1) << seen;
        if (c.drawCost.count() == 0) {
            // One step per frame, as long as the machine keeps up; a late timer makes two.
            EXPECT_LE(steps, 2 * frames + 1) << seen;
        } else {
            // Every frame takes over three steps' time, and the loop makes them all up: a frame
            // would have to take the time of MAX_STEPS_PER_FRAME steps for any to be dropped.
            EXPECT_GE(steps, 3 * frames) << seen;
        }
    }
}
