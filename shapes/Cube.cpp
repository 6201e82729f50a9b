#include "shapes/Cube.h"

#include <typeinfo>

#include <GL/gl.h>

#include "core/ComponentTransform.h"
#include "core/PointDrawing.h"

namespace {

struct Corner {
    float x;
    float y;
    float z;
};

struct Face {
    Color color;
    Corner corners[6];
};

// Two triangles per face, counter-clockwise seen from outside.
const Face FACES[6] = {
    // z = +1
    {Color(1.0f, 0.0f, 0.0f, 1.0f),
     {{-1, 1, 1}, {-1, -1, 1}, {1, 1, 1}, {-1, -1, 1}, {1, -1, 1}, {1, 1, 1}}},
    // x = +1
    {Color(0.0f, 1.0f, 0.0f, 1.0f),
     {{1, 1, 1}, {1, -1, 1}, {1, 1, -1}, {1, -1, 1}, {1, -1, -1}, {1, 1, -1}}},
    // z = -1
    {Color(0.0f, 0.0f, 1.0f, 1.0f),
     {{-1, 1, -1}, {1, 1, -1}, {1, -1, -1}, {-1, 1, -1}, {1, -1, -1}, {-1, -1, -1}}},
    // x = -1
    {Color(1.0f, 0.0f, 1.0f, 1.0f),
     {{-1, 1, 1}, {-1, 1, -1}, {-1, -1, -1}, {-1, 1, 1}, {-1, -1, -1}, {-1, -1, 1}}},
    // y = +1
    {Color(0.0f, 1.0f, 1.0f, 1.0f),
     {{1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}, {-1, 1, -1}, {-1, 1, 1}}},
    // y = -1
    {Color(1.0f, 1.0f, 0.0f, 1.0f),
     {{1, -1, 1}, {-1, -1, 1}, {-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, -1}}},
};

// Wound clockwise seen from outside: visible only from inside the cube.
const Corner INNER_TRIANGLE[3] = {{1, 1, 1}, {-1, -1, 1}, {-1, 1, 1}};

}  // namespace

Cube::Cube() : Polygon() {
    typeTag = "CUBE";
}

Cube::Cube(bool updateEnabled, bool drawEnabled) : Polygon(updateEnabled, drawEnabled) {
    typeTag = "CUBE";
    const Color red(1.0f, 0.0f, 0.0f, 1.0f);
    for (const Corner& c : INNER_TRIANGLE) {
        addPoint(Point(c.x, c.y, c.z, red));
    }
    addFaces();
}

Cube::Cube(bool updateEnabled, bool drawEnabled, const Point& position, const Color& color,
           bool filled)
    : Polygon(updateEnabled, drawEnabled, position, color, filled) {
    typeTag = "CUBE";
    addFaces();
}

void Cube::addFaces() {
    componentTransform->reservePoints(componentTransform->points.size() + FACE_POINTS);
    for (const Face& face : FACES) {
        for (const Corner& c : face.corners) {
            addPoint(Point(c.x, c.y, c.z, face.color));
        }
    }
}

void Cube::draw(int /*elapsedMs*/) {
    if (!drawEnabled || !componentTransform) {
        return;
    }
    drawPoints(filled ? GL_TRIANGLES : GL_LINE_LOOP, *componentTransform, 1, -1);
    // Leaves the point size at 4 for later dots that set none.
    drawDot(componentTransform->position);
}

bool Cube::drawsThroughBatch() const {
    return typeid(*this) == typeid(Cube);
}
