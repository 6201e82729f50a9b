// The mouse, the stats key and pictures, on the first-scene example (one cube at the origin,
// which holds still until a key moves it): a right drag carries the cube with the pointer,
// the wheel brings it nearer, a left drag turns it in place; F3 shows the stats line; F12 and
// -screenshot-after write the window's picture as a PNG, of a scene set up with -press.

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <string>
#include <vector>

#include "support/PngImage.h"
#include "support/e2e/EngineProcess.h"

namespace e2e {
namespace {

const std::string FIRST_SCENE = std::string(ENGINE_EXAMPLES_DIR) + "/first-scene";

bool isLit(const Rgb& c) {
    return c != Rgb{0, 0, 0};
}

// Where the cube shows: its lit pixels' count and the mean of their columns.
struct Blot {
    int pixels = 0;
    double x = 0.0;
};

Blot blotOf(const Screenshot& shot) {
    Blot blot;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (isLit(shot.at(x, y))) {
                ++blot.pixels;
                blot.x += x;
            }
        }
    }
    if (blot.pixels > 0) {
        blot.x /= blot.pixels;
    }
    return blot;
}

// A scratch file name of this test process's own; removed when it goes.
struct ScratchPicture {
    explicit ScratchPicture(const std::string& name)
        : path("/tmp/engine-e2e-" + std::to_string(getpid()) + "-" + name + ".png") {
        std::remove(path.c_str());
    }
    ~ScratchPicture() { std::remove(path.c_str()); }
    std::string path;
};

}  // namespace

TEST(ViewControlsTest, RightDragPansWheelZoomsAndLeftDragTurnsTheView) {
    EngineProcess scene(FIRST_SCENE, "First scene");
    const Screenshot start = scene.waitFor(measured(
        "the cube", "lit pixels", [](const Screenshot& s) { return blotOf(s).pixels; },
        [](int lit) { return lit > 100; }));
    const Blot before = blotOf(start);

    // The cube stands at the origin, so it follows the pointer pixel for pixel.
    scene.drag(3, 250, 250, 310, 250);
    scene.waitFor(measured(
        "the cube 60 pixels to the right", "column of its middle",
        [](const Screenshot& s) { return static_cast<int>(blotOf(s).x + 0.5); },
        [&](int x) { return std::abs(x - static_cast<int>(before.x + 60.5)) <= 2; }));

    // Three notches away from the user: 0.9^3 of the distance, the cube over 1.5 times larger.
    for (int notch = 0; notch < 3; ++notch) {
        scene.pressButton(4);
        scene.releaseButton(4);
    }
    scene.waitFor(measured(
        "the cube nearer", "lit pixels", [](const Screenshot& s) { return blotOf(s).pixels; },
        [&](int lit) { return lit > 3 * before.pixels / 2; }));

    // Turned about the origin: other faces show where the cube stood.
    const Screenshot zoomed = scene.screenshot();
    scene.drag(1, 250, 250, 250 + 90, 250 + 40);
    scene.waitFor(measured(
        "the cube turned", "pixels changed",
        [&](const Screenshot& s) { return s.differences(zoomed, s.all()); },
        [](int changed) { return changed > 1000; }));
    EXPECT_TRUE(scene.running()) << scene.errorOutput();
}

TEST(ViewControlsTest, F3ShowsTheStatsLineAndHidesItAgain) {
    EngineProcess scene(FIRST_SCENE, "First scene");
    const auto yellowAtTheTop = [](const Screenshot& s) {
        return s.count({0, 0, s.width(), 40},
                       [](const Rgb& c) { return c.r > 200 && c.g > 200 && c.b < 80; });
    };
    scene.press(XK_F3);
    scene.release(XK_F3);
    scene.waitFor(measured("the stats line", "yellow pixels at the top", yellowAtTheTop,
                           [](int yellow) { return yellow > 50; }));
    scene.press(XK_F3);
    scene.release(XK_F3);
    scene.waitFor(measured("no stats line", "yellow pixels at the top", yellowAtTheTop,
                           [](int yellow) { return yellow == 0; }));
}

TEST(ViewControlsTest, PicturesAreWindowSizedPngsOfWhatTheWindowShows) {
    {
        SCOPED_TRACE("F12");
        const ScratchPicture picture("f12");
        EngineProcess scene(FIRST_SCENE, "First scene", {"-screenshot", picture.path});
        const Screenshot shown = scene.waitFor(measured(
            "the cube", "lit pixels", [](const Screenshot& s) { return blotOf(s).pixels; },
            [](int lit) { return lit > 100; }));
        scene.press(XK_F12);
        scene.release(XK_F12);
        std::string failure;
        const auto written = scene.pollUntil(std::chrono::steady_clock::now() + WAIT_LIMIT, [&] {
            try {
                const Screenshot saved = testsupport::readPng(picture.path);
                EXPECT_EQ(saved.width(), 500);
                EXPECT_EQ(saved.height(), 500);
                EXPECT_EQ(saved.differences(shown, shown.all()), 0);
                return true;
            } catch (const std::exception& e) {
                failure = e.what();
                return false;
            }
        });
        EXPECT_EQ(written, EngineProcess::WaitEnd::HELD) << failure;
    }
    {
        SCOPED_TRACE("-screenshot-after");
        const ScratchPicture picture("after");
        // Key 2 pressed by the run itself shows the Bezier scene. A second of frames: the
        // harness sees the window before the picture ends the run.
        EngineProcess demo(std::vector<std::string>{"-press", "2:1", "-screenshot", picture.path,
                                                    "-screenshot-after", "60"});
        const std::optional<ExitStatus> status = demo.waitForExit();
        ASSERT_TRUE(status.has_value()) << "still running after its picture";
        EXPECT_TRUE(status->exited && status->code == 0) << *status << "\n" << demo.errorOutput();
        const Screenshot saved = testsupport::readPng(picture.path);
        EXPECT_EQ(saved.width(), 500);
        EXPECT_EQ(saved.height(), 500);
        EXPECT_GT(saved.count(saved.all(), isGrey), 500);
    }
}

}  // namespace e2e
