// The frame loop as the running demo shows it, judged by counts the engine makes rather than
// by the clock: the camera moves one step per simulation tick however many frames are drawn,
// an idle demo draws no more frames than it makes ticks, and a tap of Esc as short as the X
// server allows quits. With ENGINE_PUBLISH_COUNTS set the engine keeps its tick and frame
// counts and the camera's offset in the window property ENGINE_COUNTS.

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>

#include "support/e2e/EngineCounts.h"
#include "support/e2e/EngineProcess.h"

namespace e2e {
namespace {

// Each test launches the engine with its counts published.
class TickTest : public ::testing::Test {
  protected:
    const PublishedCounts published;

    // Reads the counts until they satisfy the predicate, doing `meanwhile` between reads.
    // Throws, naming what it awaited and the counts it saw last, after a generous deadline.
    static EngineCounts waitForCounts(EngineProcess& engine, const std::string& awaited,
                                      const std::function<bool(const EngineCounts&)>& holds,
                                      const std::function<void()>& meanwhile = {},
                                      std::chrono::milliseconds pause = 5ms) {
        EngineCounts counts;
        const auto end = engine.pollUntil(
            std::chrono::steady_clock::now() + 30s,
            [&] {
                counts = readCounts(engine);
                if (counts.ticks >= 0 && holds(counts)) {
                    return true;
                }
                if (meanwhile) {
                    meanwhile();
                }
                return false;
            },
            pause);
        if (end != EngineProcess::WaitEnd::HELD) {
            throw std::runtime_error(
                "Awaited " + awaited + "; last counts seen: \"" + counts.text + "\"" +
                (end == EngineProcess::WaitEnd::ENDED ? " (the engine has ended)" : ""));
        }
        return counts;
    }
};

}  // namespace

TEST_F(TickTest, HoldingIMovesTheCameraOneStepPerTickHoweverManyFramesAreDrawn) {
    EngineProcess engine;
    HeldKey held = engine.hold(XK_i);
    const EngineCounts moving =
        waitForCounts(engine, "the camera to move while I is held",
                      [](const EngineCounts& c) { return c.cameraZ > 0.0; });

    // Exposes make GLUT draw between ticks, as a window uncovered again and again would: far
    // more frames than ticks, so a camera stepped per frame could not pass.
    const EngineCounts later = waitForCounts(
        engine, "60 more ticks and twice as many frames while I is held",
        [&](const EngineCounts& c) {
            const long ticks = c.ticks - moving.ticks;
            return ticks >= 60 && c.frames - moving.frames >= 2 * ticks;
        },
        [&] { engine.expose(); }, 1ms);
    held.release();

    const long ticks = later.ticks - moving.ticks;
    EXPECT_NEAR(later.cameraZ - moving.cameraZ, 0.2 * static_cast<double>(ticks), 0.01)
        << "from \"" << moving.text << "\" to \"" << later.text << "\"";
}

TEST_F(TickTest, AnIdleDemoDrawsNoMoreFramesThanItMakesTicks) {
    EngineProcess engine;
    const EngineCounts start =
        waitForCounts(engine, "the counts", [](const EngineCounts&) { return true; });
    const EngineCounts later = waitForCounts(engine, "60 more ticks", [&](const EngineCounts& c) {
        return c.ticks - start.ticks >= 60;
    });
    // A tick's frame may still be on its way when the counts are read: one frame of slack.
    EXPECT_LE(later.frames - start.frames, later.ticks - start.ticks + 1)
        << "from \"" << start.text << "\" to \"" << later.text << "\"";
    EXPECT_GT(later.frames, start.frames);
}

// A press and release back to back lands between two ticks; the tick after it still sees Esc.
TEST(KeyTapTest, AnEscTapAsShortAsTheServerAllowsAlwaysQuits) {
    for (int launch = 0; launch < 10; ++launch) {
        SCOPED_TRACE("launch " + std::to_string(launch));
        EngineProcess engine;
        engine.press(XK_Escape);
        engine.release(XK_Escape);
        const auto status = engine.waitForExit();
        ASSERT_TRUE(status.has_value()) << "still running long after a tap of Esc";
        EXPECT_TRUE(status->exited && status->code == 0) << *status;
    }
}

}  // namespace e2e
