#include "physics/Mount.h"

#include <typeinfo>

#include <GL/gl.h>

#include "core/ComponentTransform.h"
#include "core/PointDrawing.h"
#include "math/Point.h"

namespace {

const Color MOUNT_POINT_COLOUR(0.0f, 0.0f, 1.0f, 1.0f);
const Color PYRAMID_COLOUR(1.0f, 1.0f, 0.0f, 1.0f);
const int FIRST_TRIANGLE_POINT = 2;

}  // namespace

Mount::Mount() : Component() {
    build(1.0f);
}

Mount::Mount(bool updateEnabled, bool drawEnabled, float height)
    : Component(updateEnabled, drawEnabled) {
    build(height);
}

void Mount::build(float height) {
    typeTag = "MOUNT";
    componentTransform = std::make_unique<ComponentTransform>(this);
    const float h = -height;
    componentTransform->addPoint(Point(0.0f, h, 0.0f, MOUNT_POINT_COLOUR));

    // Two triangles for the base in y = 0, then four sides meeting at the apex (0, h, 0).
    // clang-format off
    const float corners[18][3] = {
        {-1, 0, 1}, {1, 0, 1},   {1, 0, -1},
        {-1, 0, 1}, {1, 0, -1},  {-1, 0, -1},
        {-1, 0, 1}, {0, h, 0},   {1, 0, 1},
        {1, 0, 1},  {0, h, 0},   {1, 0, -1},
        {0, h, 0},  {-1, 0, -1}, {1, 0, -1},
        {-1, 0, -1}, {0, h, 0},  {-1, 0, 1},
    };
    // clang-format on
    for (const auto& c : corners) {
        componentTransform->addPoint(Point(c[0], c[1], c[2], PYRAMID_COLOUR));
    }
}

void Mount::update(int /*elapsedMs*/) {}

void Mount::draw(int /*elapsedMs*/) {
    if (!drawEnabled || !componentTransform) {
        return;
    }
    drawPoints(GL_TRIANGLES, *componentTransform, FIRST_TRIANGLE_POINT, -1);
    drawDot(componentTransform->position);
    if (componentTransform->points.size() > 1) {
        drawDot(componentTransform->points[1]);
    }
}

bool Mount::drawsThroughBatch() const {
    return typeid(*this) == typeid(Mount);
}
