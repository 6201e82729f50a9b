#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>

#include "app/Camera.h"
#include "core/GameObject.h"
#include "core/World.h"
#include "input/Keyboard.h"
#include "support/gl/GlTest.h"

namespace {

class CameraTest : public gltest::GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        World::getInstance()->addObject(new GameObject(true, true, Point()));
    }
    void TearDown() override {
        Camera::destroyInstance();
        Keyboard::destroyInstance();
        World::destroyInstance();
        GlTest::TearDown();
    }
    // One tick, then one drawn frame: the model-view matrix the camera leaves behind,
    // column-major.
    std::array<float, 16> frame() {
        Camera::getInstance()->update();
        return drawnFrame();
    }
    // A frame drawn between two ticks.
    std::array<float, 16> drawnFrame() {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        Camera::getInstance()->apply();
        std::array<float, 16> m{};
        glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
        return m;
    }
    void press(unsigned char key) { Keyboard::getInstance()->keyDown(key, 0, 0); }
    bool overlayShown() const { return World::getInstance()->objects[0]->drawEnabled; }
};

}  // namespace

TEST_F(CameraTest, NoKeysLeaveTheIdentity) {
    const auto m = frame();
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(m[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;
    }
    EXPECT_TRUE(overlayShown());
}

TEST_F(CameraTest, IAndKMoveAlongTheEyeAxisAndHideTheOverlay) {
    press('i');
    std::array<float, 16> m{};
    for (int i = 0; i < 10; ++i) {
        m = frame();
    }
    EXPECT_NEAR(m[14], 2.0f, 1e-5f);
    EXPECT_EQ(m[12], 0.0f);
    EXPECT_FALSE(overlayShown());

    press('k');  // both held: they cancel
    const float before = Camera::getInstance()->z;
    m = frame();
    EXPECT_NEAR(Camera::getInstance()->z, before, 1e-6f);

    // Keys other than I, J, K and L do nothing; upper case has no slot.
    Keyboard::getInstance()->keyUp('i', 0, 0);
    Keyboard::getInstance()->keyUp('k', 0, 0);
    press('w');
    press('L');
    const auto still = frame();
    EXPECT_NEAR(still[14], before, 1e-5f);
    EXPECT_EQ(still[0], 1.0f);
}

TEST_F(CameraTest, FramesDrawnBetweenTicksDoNotMoveTheCamera) {
    press('i');
    press('l');
    std::array<float, 16> m{};
    for (int i = 0; i < 50; ++i) {
        m = drawnFrame();
    }
    EXPECT_EQ(m[14], 0.0f);
    EXPECT_EQ(m[0], 1.0f);
    EXPECT_TRUE(overlayShown());

    m = frame();
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(drawnFrame(), m);
    }
    EXPECT_NEAR(m[14], 0.2f, 1e-6f);
    EXPECT_FALSE(overlayShown());
}

TEST_F(CameraTest, HoldingLTurnsAboutYByADegreePerTick) {
    press('l');
    std::array<float, 16> m{};
    for (int i = 0; i < 90; ++i) {
        m = frame();
    }
    // Column-major: a turn of about +90 degrees about y maps x to -z.
    const double angle = std::atan2(static_cast<double>(-m[2]), static_cast<double>(m[0]));
    EXPECT_NEAR(angle * 180.0 / M_PI, 90.0, 0.01);
    EXPECT_NEAR(m[5], 1.0f, 1e-5f);
    EXPECT_FALSE(overlayShown());
    const Quaternion& q = Camera::getInstance()->orientation;
    EXPECT_NEAR(q.norm(), 1.0f, 1e-5f);

    // J turns back the other way. The angle is read back as 2 acos(w), which resolves
    // small angles coarsely in single precision, hence the looser tolerance at the end.
    Keyboard::getInstance()->keyUp('l', 0, 0);
    press('j');
    for (int i = 0; i < 90; ++i) {
        m = frame();
    }
    EXPECT_NEAR(m[0], 1.0f, 1e-4f);
    EXPECT_NEAR(m[2], 0.0f, 1e-2f);
}

TEST_F(CameraTest, ANearIdentityOrientationNeverProducesNaN) {
    Camera::getInstance()->orientation = Quaternion(1.0000001f, 0.0f, 1e-4f, 0.0f);
    const auto m = frame();
    for (float v : m) {
        EXPECT_FALSE(std::isnan(v));
    }
}
