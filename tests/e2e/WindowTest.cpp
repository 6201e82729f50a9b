// The demo as a person meets it: a window appears, shows its first frame, and Esc closes it.

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/e2e/EngineProcess.h"

namespace e2e {
namespace {

// No window manager moves a window on the test server, so it sits where the engine asked:
// 500 x 500 at (500, 500), or what -geometry says.
TEST(WindowTest, OpensWhereTheDefaultsOrTheCommandLineSay) {
    const struct {
        std::vector<std::string> arguments;
        Geometry expected;
    } cases[] = {{{}, {500, 500, 500, 500}}, {{"-geometry", "300x200+10+20"}, {10, 20, 300, 200}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.empty() ? "defaults" : c.arguments.back());
        EngineProcess engine(c.arguments);
        const Geometry where = engine.geometry();
        EXPECT_EQ(where.width, c.expected.width);
        EXPECT_EQ(where.height, c.expected.height);
        EXPECT_EQ(where.x, c.expected.x);
        EXPECT_EQ(where.y, c.expected.y);
        if (!c.arguments.empty()) {
            continue;
        }
        // The first frame: the scene covers only the middle, the clear colour is black
        // everywhere else.
        const Screenshot shot = engine.screenshot();
        ASSERT_EQ(shot.width(), 500);
        ASSERT_EQ(shot.height(), 500);
        const int black = shot.count(Rgb{0, 0, 0});
        if (black < shot.width() * shot.height() / 2) {
            shot.writePpm("WindowTest_FirstFrame.ppm");
        }
        EXPECT_GT(black, shot.width() * shot.height() / 2);
        for (const auto& corner : {shot.at(499, 499), shot.at(499, 100), shot.at(150, 100)}) {
            EXPECT_EQ(corner, (Rgb{0, 0, 0}));
        }
        EXPECT_TRUE(engine.running()) << engine.errorOutput();
    }
}

TEST(WindowTest, RedrawsAllOfAResizedWindow) {
    EngineProcess engine;
    // resize() only returns once no pixel shows the unpainted background any more.
    engine.resize(700, 400);
    const Screenshot shot = engine.screenshot();
    ASSERT_EQ(shot.width(), 700);
    ASSERT_EQ(shot.height(), 400);
    EXPECT_EQ(shot.at(699, 399), (Rgb{0, 0, 0}));
    EXPECT_TRUE(engine.running()) << engine.errorOutput();
}

TEST(WindowTest, HoldingEscapeQuitsWithStatusZeroAtTheNextStep) {
    EngineProcess engine;
    const HeldKey escape = engine.hold(XK_Escape);
    // The step that sees Esc closes the window before anything is drawn again. One change may
    // still come from a step before the engine read the key; a second of steps would show as
    // many more, however slowly the engine runs.
    EXPECT_LE(engine.changesUntilWindowGone(), 2) << "the engine kept stepping after Esc";
    const std::optional<ExitStatus> status = engine.waitForExit();
    ASSERT_TRUE(status.has_value()) << "still running after Esc closed the window";
    EXPECT_TRUE(status->exited && status->code == 0) << *status << "\n" << engine.errorOutput();
}

}  // namespace
}  // namespace e2e
