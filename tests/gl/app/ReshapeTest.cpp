// The frame loop's reshape under every window size a desktop can produce, each followed by a
// full frame of the demo: the projection must stay finite and the frame must draw cleanly.

#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "app/DemoScene.h"
#include "app/FrameLoop.h"
#include "core/World.h"
#include "input/Keyboard.h"
#include "support/gl/GlTest.h"

namespace {

class ReshapeTest : public gltest::GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        savedWindow = windowId;
        windowId = glutGetWindow();
        buildScene();
    }
    void TearDown() override {
        windowId = savedWindow;
        World::destroyInstance();
        Keyboard::destroyInstance();
        GlTest::TearDown();
    }
    int savedWindow = 0;
};

TEST_F(ReshapeTest, EverySizeGivesAFiniteProjectionAndAFrameWithoutErrors) {
    struct Size {
        int width, height;
    };
    // Square, wide, a single pixel, larger than any screen, and the sides of 0 that a
    // minimised window may report.
    const Size sizes[] = {{500, 500}, {800, 500}, {1, 1}, {4000, 3000}, {500, 0}, {0, 500}, {0, 0}};
    for (const Size& size : sizes) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
        reshape(size.width, size.height);
        std::array<float, 16> projection{};
        glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
        for (float entry : projection) {
            ASSERT_TRUE(std::isfinite(entry));
        }
        std::array<GLint, 4> viewport{};
        glGetIntegerv(GL_VIEWPORT, viewport.data());
        EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, size.width, size.height}));
        if (size.width > 0) {
            // x is scaled by 1/aspect relative to y; a height of 0 counts as 1.
            const float aspect =
                static_cast<float>(size.width) / static_cast<float>(std::max(size.height, 1));
            EXPECT_NEAR(projection[5] / projection[0], aspect, aspect * 1e-5f);
        }
        display();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

}  // namespace
