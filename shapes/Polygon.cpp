#include "shapes/Polygon.h"

#include <GL/gl.h>

#include <cmath>

Polygon::Polygon() : Shape() {
    typeTag = "POLYGON";
}

Polygon::Polygon(bool updateEnabled, bool drawEnabled) : Shape(updateEnabled, drawEnabled) {
    typeTag = "POLYGON";
}

Polygon::Polygon(bool updateEnabled, bool drawEnabled, const Point& position, const Color& color,
                 bool filled)
    : Shape(updateEnabled, drawEnabled, position, color), filled(filled) {
    typeTag = "POLYGON";
}

void Polygon::draw(int /*elapsedMs*/) {
    if (!drawEnabled || !componentTransform) {
        return;
    }
    emitPoints(filled ? GL_POLYGON : GL_LINE_LOOP);
}

void Polygon::makeRegularPolygon(int sides, float radius) {
    clearPoints();
    if (sides <= 0) {
        return;
    }
    // 6.28318 rather than the exact 2 pi: the corners match the engine's long-standing ones.
    const float step = 6.28318f / static_cast<float>(sides);
    const Color red(1.0f, 0.0f, 0.0f, 1.0f);
    for (int i = 0; i < sides; ++i) {
        const float angle = static_cast<float>(i) * step;
        addPoint(Point(radius * std::cos(angle), radius * std::sin(angle), 0.0f, red));
    }
}
