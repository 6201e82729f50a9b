// The demonstration as a person uses it: real key presses through the X server, and what the
// window then shows.

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "support/e2e/EngineProcess.h"

namespace e2e {
namespace {

// Where the demo's projection puts the scene: 60 degrees of view with the scene 20 units
// back, so a front face at z = 1 shows about 22.8 pixels per unit, centred in the window.
constexpr int CENTRE = 250;
constexpr double PIXELS_PER_UNIT = 22.79;

int toPixel(double units) {
    return CENTRE + static_cast<int>(units * PIXELS_PER_UNIT);
}

bool isRed(const Rgb& c) {
    return c.r > 200 && c.g < 60 && c.b < 60;
}
bool isWhite(const Rgb& c) {
    return c.r > 200 && c.g > 200 && c.b > 200;
}
bool isGrey(const Rgb& c) {
    return c.r > 100 && c.r < 160 && c.r == c.g && c.g == c.b;
}

template <typename Test>
int countIn(const Screenshot& shot, int x0, int y0, int x1, int y1, Test test) {
    int count = 0;
    for (int y = std::max(0, y0); y < std::min(shot.height(), y1); ++y) {
        for (int x = std::max(0, x0); x < std::min(shot.width(), x1); ++x) {
            count += test(shot.at(x, y)) ? 1 : 0;
        }
    }
    return count;
}

// Red pixels present in every one of several shots spread over one swing of the hanging box:
// what stands still, with the swinging box filtered out.
std::vector<bool> steadyRed(EngineProcess& engine) {
    std::vector<bool> steady(500 * 500, true);
    for (int i = 0; i < 6; ++i) {
        const Screenshot shot = engine.screenshot();
        for (int y = 0; y < 500; ++y) {
            for (int x = 0; x < 500; ++x) {
                steady[static_cast<size_t>(y * 500 + x)] =
                    steady[static_cast<size_t>(y * 500 + x)] && isRed(shot.at(x, y));
            }
        }
        std::this_thread::sleep_for(70ms);
    }
    return steady;
}

// The rightmost steady red pixel on the row through the scene's origin.
int rightmostSteadyRed(EngineProcess& engine) {
    const std::vector<bool> steady = steadyRed(engine);
    int rightmost = -1;
    for (int x = 0; x < 500; ++x) {
        if (steady[static_cast<size_t>(CENTRE * 500 + x)]) {
            rightmost = x;
        }
    }
    return rightmost;
}

bool sceneAreaEqual(const Screenshot& a, const Screenshot& b) {
    // Below the status line, which is the only thing allowed to change while paused.
    for (int y = 30; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.at(x, y) != b.at(x, y)) {
                return false;
            }
        }
    }
    return true;
}

TEST(DemoTest, StartsWithTheHelpTextAndTheRedFrontFaces) {
    EngineProcess engine;
    const Screenshot shot = engine.screenshot();
    // Status line at the top-left, "Quit = Esc" at the top-right, the key list bottom-left.
    EXPECT_GT(countIn(shot, 0, 0, 150, 20, isWhite), 50);
    EXPECT_GT(countIn(shot, 400, 0, 500, 20, isWhite), 30);
    EXPECT_GT(countIn(shot, 0, 360, 250, 500, isWhite), 300);
    // The left box and the origin cube share the origin: their red front face is centred.
    EXPECT_TRUE(isRed(shot.at(CENTRE, CENTRE))) << shot.at(CENTRE, CENTRE);
    EXPECT_TRUE(isRed(shot.at(toPixel(-0.9), toPixel(0.9))));
    EXPECT_FALSE(isRed(shot.at(toPixel(-1.2), CENTRE)));
}

TEST(DemoTest, HoldingDMovesTheLeftBoxToTheRight) {
    EngineProcess engine;
    const int before = rightmostSteadyRed(engine);
    EXPECT_NEAR(before, toPixel(1.0), 3);
    engine.holdFor(XK_d, 400ms);
    const int after = rightmostSteadyRed(engine);
    EXPECT_GT(after, before + 20) << "the left box did not move right";
}

TEST(DemoTest, ZPausesAndResumesAndChangesTheStatusLine) {
    EngineProcess engine;
    const Screenshot running = engine.screenshot();
    engine.tap(XK_z, 100ms);
    std::this_thread::sleep_for(100ms);
    const Screenshot paused = engine.screenshot();
    std::this_thread::sleep_for(300ms);
    const Screenshot stillPaused = engine.screenshot();
    EXPECT_TRUE(sceneAreaEqual(paused, stillPaused)) << "the scene moved while paused";
    // "Status = Running" became "Status = Paused".
    int changed = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 150; ++x) {
            changed += running.at(x, y) != paused.at(x, y) ? 1 : 0;
        }
    }
    EXPECT_GT(changed, 20);

    engine.tap(XK_z, 100ms);
    std::this_thread::sleep_for(100ms);
    const Screenshot resumed = engine.screenshot();
    std::this_thread::sleep_for(150ms);
    EXPECT_FALSE(sceneAreaEqual(resumed, engine.screenshot())) << "the hanging box stopped";
    EXPECT_EQ(countIn(resumed, 0, 0, 150, 20, isWhite), countIn(running, 0, 0, 150, 20, isWhite));
}

TEST(DemoTest, NumberKeysShowAndHideTheScenes) {
    EngineProcess engine;
    // 2 shows the grey Bezier mesh; 2 again hides it.
    EXPECT_LT(countIn(engine.screenshot(), 0, 0, 500, 500, isGrey), 50);
    engine.tap(XK_2, 100ms);
    std::this_thread::sleep_for(100ms);
    EXPECT_GT(countIn(engine.screenshot(), 0, 0, 500, 500, isGrey), 2000);
    engine.tap(XK_2, 100ms);
    std::this_thread::sleep_for(100ms);
    EXPECT_LT(countIn(engine.screenshot(), 0, 0, 500, 500, isGrey), 50);

    // 1 hides the spring scene: only the origin cube's face is left red.
    engine.tap(XK_1, 100ms);
    std::this_thread::sleep_for(100ms);
    const Screenshot springHidden = engine.screenshot();
    const int originFace =
        countIn(springHidden, toPixel(-1.1), toPixel(-1.1), toPixel(1.1), toPixel(1.1), isRed);
    EXPECT_GT(originFace, 1500);
    EXPECT_EQ(countIn(springHidden, 0, 0, 500, 500, isRed), originFace);

    // 3 shows the four cubes on the corners of their square of side 3 (y up on screen).
    engine.tap(XK_3, 100ms);
    std::this_thread::sleep_for(100ms);
    const Screenshot group = engine.screenshot();
    for (const auto& corner : {std::pair{0.0, 0.0}, {3.0, 0.0}, {0.0, 3.0}, {3.0, 3.0}}) {
        const int x = toPixel(corner.first);
        const int y = 2 * CENTRE - toPixel(corner.second);
        EXPECT_TRUE(isRed(group.at(x, y))) << corner.first << "," << corner.second;
    }
    EXPECT_FALSE(isRed(group.at(toPixel(1.5), 2 * CENTRE - toPixel(1.5))));
}

TEST(DemoTest, EscapeQuitsWhilePaused) {
    EngineProcess engine;
    engine.tap(XK_z, 100ms);
    const HeldKey escape = engine.hold(XK_Escape);
    const std::optional<ExitStatus> status = engine.waitForExit(2s + kExitScanAllowance);
    ASSERT_TRUE(status.has_value()) << "still running after Esc";
    EXPECT_TRUE(status->exited && status->code == 0) << *status << "\n" << engine.errorOutput();
}

}  // namespace
}  // namespace e2e
