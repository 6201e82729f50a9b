// The examples as a person meets them: each opens its window, shows its scene, and quits with
// status 0 on Esc.

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/e2e/EngineProcess.h"

namespace e2e {
namespace {

struct Example {
    const char* binary;
    const char* title;
    std::vector<std::string> arguments;
};

TEST(ExamplesTest, EachShowsItsSceneAndQuitsWithStatusZeroOnEsc) {
    const Example examples[] = {
        {"minimal-scene", "My scene", {}},    {"first-scene", "First scene", {}},
        {"spring-chain", "Spring chain", {}}, {"box-field", "Box field", {"200"}},
        {"pyramid", "Pyramid", {}},
    };
    for (const Example& example : examples) {
        SCOPED_TRACE(example.binary);
        EngineProcess program(std::string(ENGINE_EXAMPLES_DIR) + "/" + example.binary,
                              example.title, example.arguments);
        program.waitFor(measured(
            "a frame that is not all black", "pixels not black",
            [](const Screenshot& shot) {
                return shot.width() * shot.height() - shot.count(Rgb{0, 0, 0});
            },
            [](int lit) { return lit > 0; }));
        const HeldKey escape = program.hold(XK_Escape);
        const std::optional<ExitStatus> status = program.waitForExit();
        ASSERT_TRUE(status.has_value()) << "still running after Esc went down";
        EXPECT_TRUE(status->exited && status->code == 0) << *status << "\n"
                                                         << program.errorOutput();
    }
}

}  // namespace
}  // namespace e2e
