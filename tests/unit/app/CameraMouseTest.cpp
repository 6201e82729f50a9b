// The mouse's camera moves, against the frame loop's projection in closed form: a point at the
// depth of the scene's origin lands on screen at (w/2, h/2) + (x, y) * (h/2) / (d tan 30 deg),
// d its distance from the eye.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/Camera.h"
#include "support/world/WorldFixture.h"

namespace {

constexpr int HEIGHT = 500;
const float TAN_30 = std::tan(30.0f * 3.14159265f / 180.0f);

class CameraMouseTest : public WorldFixture {
  protected:
    CameraMouseTest() {
        Camera::destroyInstance();
        camera = Camera::getInstance();
    }
    ~CameraMouseTest() override { Camera::destroyInstance(); }

    // Pixels from the window's centre (y up) where the scene's origin lands.
    _Tarn::Vector3 originOnScreen() const {
        const float d = camera->originDistance();
        const float pixelsPerUnit = 0.5f * HEIGHT / (d * TAN_30);
        return {camera->x * pixelsPerUnit, camera->y * pixelsPerUnit, 0.0f};
    }

    Camera* camera = nullptr;
};

}  // namespace

TEST_F(CameraMouseTest, RightDragCarriesTheOriginWithThePointer) {
    const struct {
        float dx, dy, zoomedIn;
    } drags[] = {{40, 0, 0}, {0, -25, 0}, {-13, 7, 5}, {120, 60, -10}};
    for (const auto& drag : drags) {
        SCOPED_TRACE(std::to_string(drag.dx) + ", " + std::to_string(drag.dy) + " at z " +
                     std::to_string(drag.zoomedIn));
        camera->x = camera->y = 0.0f;
        camera->z = drag.zoomedIn;
        camera->panByDrag(drag.dx, drag.dy, HEIGHT);
        const _Tarn::Vector3 at = originOnScreen();
        EXPECT_NEAR(at.x, drag.dx, 1e-3f);
        EXPECT_NEAR(at.y, -drag.dy, 1e-3f);  // screen y grows downwards
        EXPECT_EQ(camera->z, drag.zoomedIn);
    }
}

TEST_F(CameraMouseTest, LeftDragTurnsAboutTheOriginAndTheWheelZoomsNoNearerThanTheLimit) {
    // 180 pixels across: a quarter turn about the vertical axis; the origin stays put.
    camera->turnByDrag(180.0f, 0.0f);
    const _Tarn::Vector3 x = camera->orientation.rotateVector(_Tarn::Vector3(1, 0, 0));
    EXPECT_NEAR(x.x, 0.0f, 1e-4f);
    EXPECT_NEAR(x.z, -1.0f, 1e-4f);
    EXPECT_EQ(camera->x, 0.0f);
    EXPECT_EQ(camera->y, 0.0f);
    EXPECT_EQ(camera->z, 0.0f);
    // Then 180 pixels down: a quarter turn about the horizontal axis, after the first.
    camera->turnByDrag(0.0f, 180.0f);
    const _Tarn::Vector3 y = camera->orientation.rotateVector(_Tarn::Vector3(0, 1, 0));
    EXPECT_NEAR(y.z, 1.0f, 1e-4f);

    // Each notch away takes a tenth of the distance; back the same number of notches returns.
    camera->zoomByWheel(2);
    EXPECT_NEAR(camera->originDistance(), 20.0f * 0.81f, 1e-4f);
    camera->zoomByWheel(-2);
    EXPECT_NEAR(camera->originDistance(), 20.0f, 1e-4f);
    camera->zoomByWheel(100);
    EXPECT_NEAR(camera->originDistance(), Camera::NEAREST, 1e-4f);
}
