// The demo as a person meets it: a window appears, shows a clean frame, and Esc closes it.

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include "support/e2e/EngineProcess.h"

namespace e2e {
namespace {

TEST(WindowTest, OpensA500By500WindowTitledEngineAt500500) {
    EngineProcess engine;
    const Geometry where = engine.geometry();
    EXPECT_EQ(where.width, 500);
    EXPECT_EQ(where.height, 500);
    // No window manager moves it, so it sits where the engine asked.
    EXPECT_EQ(where.x, 500);
    EXPECT_EQ(where.y, 500);
    EXPECT_TRUE(engine.running()) << engine.errorOutput();
}

TEST(WindowTest, FirstFrameIsCleanBlack) {
    EngineProcess engine;
    const Screenshot shot = engine.screenshot();
    ASSERT_EQ(shot.width(), 500);
    ASSERT_EQ(shot.height(), 500);
    const int black = shot.count(Rgb{0, 0, 0});
    if (black != shot.width() * shot.height()) {
        shot.writePpm("WindowTest_FirstFrame.ppm");
    }
    EXPECT_EQ(black, shot.width() * shot.height())
        << "pixels that are not black; corners: " << shot.at(0, 0) << " " << shot.at(499, 0) << " "
        << shot.at(0, 499) << " " << shot.at(499, 499) << " centre " << shot.at(250, 250);
}

TEST(WindowTest, HoldingEscapeQuitsWithStatusZeroWithinASecond) {
    EngineProcess engine;
    const HeldKey escape = engine.hold(XK_Escape);
    const std::optional<ExitStatus> status = engine.waitForExit(1s);
    ASSERT_TRUE(status.has_value()) << "still running a second after Esc went down";
    EXPECT_TRUE(status->exited && status->code == 0) << *status << "\n" << engine.errorOutput();
}

}  // namespace
}  // namespace e2e
