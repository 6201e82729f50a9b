// The demonstration as a person uses it: real key presses through the X server, and what the
// window then shows.

#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <csignal>
#include <vector>

#include "support/e2e/DemoPicture.h"
#include "support/e2e/EngineCounts.h"
#include "support/e2e/EngineProcess.h"

namespace e2e {
namespace {

// The hanging box bounces through the row of the origin about every 20 steps; shots across
// more steps than two bounces always include some with the row clear of it.
constexpr int SWING_STEPS = 45;

// The rightmost pixel on the row through the origin that stays red across several swings of
// the hanging box: the left box's right edge, with the swinging box filtered out.
int leftBoxRightEdge(EngineProcess& engine) {
    std::vector<bool> steady(500, true);
    engine.waitFor(pictureChanges(SWING_STEPS, [&](const Screenshot& shot) {
        for (int x = 0; x < 500; ++x) {
            steady[static_cast<size_t>(x)] =
                steady[static_cast<size_t>(x)] && isRed(shot.at(x, CENTRE));
        }
    }));
    int rightmost = -1;
    for (int x = 0; x < 500; ++x) {
        if (steady[static_cast<size_t>(x)]) {
            rightmost = x;
        }
    }
    return rightmost;
}

TEST(DemoTest, StartsWithTheHelpTextAndTheRedFrontFaces) {
    EngineProcess engine;
    const Screenshot shot = engine.screenshot();
    // Status line at the top-left, "Quit = Esc" at the top-right, the key list bottom-left.
    EXPECT_GT(shot.count(STATUS_LINE, isWhite), 50);
    EXPECT_GT(shot.count({400, 0, 500, 20}, isWhite), 30);
    EXPECT_GT(shot.count({0, 360, 250, 500}, isWhite), 300);
    // The left box and the origin cube share the origin: their red front face is centred.
    EXPECT_TRUE(isRed(shot.at(CENTRE, CENTRE))) << shot.at(CENTRE, CENTRE);
    EXPECT_TRUE(isRed(shot.at(toPixel(-0.9), toRow(-0.9))));
    EXPECT_FALSE(isRed(shot.at(toPixel(-1.2), CENTRE)));
}

// Red on the row further right than the hanging box alone ever swings (about 47 pixels past
// the left box's edge, found before at `before`): the left box itself has gone at least 33
// pixels to the right.
PictureCondition leftBoxMovedRight(int before) {
    const auto rightmostRed = [](const Screenshot& shot) {
        int rightmost = -1;
        for (int x = 0; x < shot.width(); ++x) {
            rightmost = isRed(shot.at(x, CENTRE)) ? x : rightmost;
        }
        return rightmost;
    };
    return measured("red on the origin's row 80 pixels right of the left box",
                    "the rightmost red pixel on the row", rightmostRed,
                    [before](int x) { return x > before + 80; });
}

TEST(DemoTest, HoldingDMovesTheLeftBoxToTheRight) {
    EngineProcess engine;
    const int before = leftBoxRightEdge(engine);
    EXPECT_NEAR(before, toPixel(1.0), 3);
    // Held until the engine has acted on it, however late its steps come.
    engine.holdUntil(XK_d, leftBoxMovedRight(before));
    const int after = leftBoxRightEdge(engine);
    EXPECT_GT(after, before + 20) << "the left box did not move right";
}

TEST(DemoTest, AKeyPressedWhileTheEngineLagsBehindItsKeysIsNotLost) {
    EngineProcess engine;
    const int before = leftBoxRightEdge(engine);
    // Stopped as a busy machine would stop it, the engine reads these keys all at once later:
    // h's release (h does nothing in the demo) when h is down again. d must still count as
    // held. The stop is waited for, but the engine's state is left to its own waits.
    siginfo_t stopped{};
    ::kill(engine.pid(), SIGSTOP);
    waitid(P_PID, static_cast<id_t>(engine.pid()), &stopped, WSTOPPED | WEXITED | WNOWAIT);
    engine.press(XK_h);
    engine.release(XK_h);
    engine.press(XK_d);
    engine.press(XK_h);
    ::kill(engine.pid(), SIGCONT);
    // d and h stay down until the engine is gone.
    engine.waitFor(leftBoxMovedRight(before));
}

TEST(DemoTest, ZPausesAndResumesAndChangesTheStatusLine) {
    const PublishedCounts published;
    EngineProcess engine;
    const Screenshot running = engine.screenshot();

    // "Status = Running" becomes "Status = Paused" at the step that pauses.
    const Screenshot paused = engine.holdUntil(XK_z, statusLineChangedFrom(running));
    // The engine keeps stepping while paused. Across 60 of its steps, as it counts them
    // itself, no shot may show the scene moved.
    const EngineCounts start = readCounts(engine);
    EngineCounts now = start;
    int movedShots = 0;
    engine.waitFor({"60 engine steps while paused",
                    [&](const Screenshot& shot) {
                        movedShots += shot.differences(paused, SCENE) > 0 ? 1 : 0;
                        now = readCounts(engine);
                        return start.ticks >= 0 && now.ticks >= start.ticks + 60;
                    },
                    [&](const Screenshot&) {
                        return "the counts \"" + now.text + "\" after \"" + start.text + "\"";
                    }});
    EXPECT_EQ(movedShots, 0) << "the scene moved while paused";

    // The paused steps have seen z up, so the next press resumes.
    const Screenshot resumed = engine.holdUntil(
        XK_z, measured(
                  "the status line to read Running again", "pixels unlike Running",
                  [&](const Screenshot& shot) { return shot.differences(running, STATUS_LINE); },
                  [](int changed) { return changed == 0; }));
    EXPECT_EQ(resumed.count(STATUS_LINE, isWhite), running.count(STATUS_LINE, isWhite));
    engine.waitFor(measured(
        "the hanging box to move again", "scene pixels changed",
        [&](const Screenshot& shot) { return shot.differences(resumed, SCENE); },
        [](int changed) { return changed > 0; }));
}

TEST(DemoTest, NumberKeysShowAndHideTheScenes) {
    EngineProcess engine;
    const auto grey = [](const Screenshot& shot) { return shot.count(shot.all(), isGrey); };
    // 2 shows the grey Bezier mesh; 2 again hides it.
    EXPECT_LT(grey(engine.screenshot()), 50);
    engine.holdUntil(XK_2, measured("the Bezier mesh to show", "grey pixels", grey,
                                    [](int pixels) { return pixels > 2000; }));
    // 2 fires again only once a step has seen it up.
    engine.waitFor(pictureChanges(2));
    engine.holdUntil(XK_2, measured("the Bezier mesh to hide", "grey pixels", grey,
                                    [](int pixels) { return pixels < 50; }));

    // 1 hides the spring scene: only the origin cube's face is left red.
    const Region originFace{toPixel(-1.1), toRow(1.1), toPixel(1.1), toRow(-1.1)};
    const Screenshot springHidden = engine.holdUntil(
        XK_1, measured(
                  "the spring scene to hide", "red pixels off the origin cube's face",
                  [&](const Screenshot& shot) {
                      return shot.count(shot.all(), isRed) - shot.count(originFace, isRed);
                  },
                  [](int red) { return red == 0; }));
    EXPECT_GT(springHidden.count(originFace, isRed), 1500);

    // 3 shows the four cubes on the corners of their square of side 3, with nothing red in
    // the middle of the square.
    const auto redCorners = [](const Screenshot& shot) {
        int red = 0;
        for (const auto& [x, y] : {std::pair{0.0, 0.0}, {3.0, 0.0}, {0.0, 3.0}, {3.0, 3.0}}) {
            red += isRed(shot.at(toPixel(x), toRow(y))) ? 1 : 0;
        }
        return isRed(shot.at(toPixel(1.5), toRow(1.5))) ? -1 : red;
    };
    engine.holdUntil(XK_3, measured("the four cubes of scene 3 to show",
                                    "red corners of the square (-1: its middle is red)", redCorners,
                                    [](int red) { return red == 4; }));
}

TEST(DemoTest, EscapeQuitsWhilePaused) {
    EngineProcess engine;
    const Screenshot running = engine.screenshot();
    engine.holdUntil(XK_z, statusLineChangedFrom(running));
    const HeldKey escape = engine.hold(XK_Escape);
    const std::optional<ExitStatus> status = engine.waitForExit();
    ASSERT_TRUE(status.has_value()) << "still running after Esc";
    EXPECT_TRUE(status->exited && status->code == 0) << *status << "\n" << engine.errorOutput();
}

}  // namespace
}  // namespace e2e
