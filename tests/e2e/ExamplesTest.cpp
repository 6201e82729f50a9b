// The examples as a person meets them: each opens its window, shows its scene, and quits with
// status 0 on Esc.

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/e2e/EngineProcess.h"

namespace e2e {
namespace {

struct Example {
    const char* binary;
    const char* title;
    std::vector<std::string> arguments;
};

// Pixels that are not the black background, in the first shot that has any.
int litPixels(EngineProcess& program, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const Screenshot shot = program.screenshot();
        const int lit = shot.width() * shot.height() - shot.count(Rgb{0, 0, 0});
        if (lit > 0 || std::chrono::steady_clock::now() > deadline) {
            return lit;
        }
        std::this_thread::sleep_for(20ms);
    }
}

TEST(ExamplesTest, EachShowsItsSceneAndQuitsWithStatusZeroOnEsc) {
    const Example examples[] = {
        {"first-scene", "First scene", {}},
        {"spring-chain", "Spring chain", {}},
        {"box-field", "Box field", {"200"}},
    };
    for (const Example& example : examples) {
        SCOPED_TRACE(example.binary);
        EngineProcess program(std::string(ENGINE_EXAMPLES_DIR) + "/" + example.binary,
                              example.title, example.arguments);
        EXPECT_GT(litPixels(program, 10s), 0) << "awaited a frame that is not all black";
        const HeldKey escape = program.hold(XK_Escape);
        const std::optional<ExitStatus> status = program.waitForExit(10s + kExitScanAllowance);
        ASSERT_TRUE(status.has_value()) << "still running 10 s after Esc went down";
        EXPECT_TRUE(status->exited && status->code == 0) << *status << "\n"
                                                         << program.errorOutput();
    }
}

}  // namespace
}  // namespace e2e
