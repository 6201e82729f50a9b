#include "app/Pace.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Clock = Pace::Clock;
using std::chrono::milliseconds;

const Clock::time_point START{milliseconds(1000)};

// Wakes at each of `wakes` (ms after the start) and reports the steps handed out and the
// dropped count after each wake, against the closed form: every step due by then, less what
// a bound of 3 per wake drops.
TEST(PaceTest, HandsOutTheStepsDueByEachWakeUpToTheBoundAndDropsTheRest) {
    struct Wake {
        long atMs;
        int steps;
        long dropped;
        long untilNextMs;
    };
    const Wake wakes[] = {
        {0, 1, 0, 17},    // step 0 is due at the start
        {5, 0, 0, 12},    // early: nothing new
        {17, 1, 0, 17},   // on time
        {50, 1, 0, 1},    // step 2 (34 ms); step 3 is due at 51
        {120, 3, 2, 16},  // steps 3 to 7 due (51 to 119): three made, two dropped
        {136, 1, 2, 17},  // step 8 at 136
        {136, 0, 2, 17},  // the same moment twice
    };
    Pace pace(milliseconds(17), 3);
    pace.start(START);
    long handedOut = 0;
    for (const Wake& wake : wakes) {
        SCOPED_TRACE("wake at " + std::to_string(wake.atMs) + " ms");
        const Clock::time_point now = START + milliseconds(wake.atMs);
        const int steps = pace.stepsDue(now);
        handedOut += steps;
        EXPECT_EQ(steps, wake.steps);
        EXPECT_EQ(pace.dropped(), wake.dropped);
        EXPECT_EQ(handedOut + pace.dropped(), wake.atMs / 17 + 1) << "steps due by now";
        EXPECT_EQ(pace.untilNext(now), milliseconds(wake.untilNextMs));
    }
    // Before the start nothing is due.
    pace.start(START);
    EXPECT_EQ(pace.stepsDue(START - milliseconds(5)), 0);
    EXPECT_EQ(pace.untilNext(START - milliseconds(5)), milliseconds(5));
}

}  // namespace
