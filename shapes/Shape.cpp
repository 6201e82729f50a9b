#include "shapes/Shape.h"

#include <GL/gl.h>

#include <memory>

#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/PointDrawing.h"

namespace {

const Color OFFSET_COLOUR(1.0f, 0.0f, 0.0f, 1.0f);

}  // namespace

Shape::Shape() : Component() {
    typeTag = "SHAPE";
    componentTransform = std::make_unique<ComponentTransform>(this);
}

Shape::Shape(bool updateEnabled, bool drawEnabled) : Component(updateEnabled, drawEnabled) {
    typeTag = "SHAPE";
    componentTransform = std::make_unique<ComponentTransform>(this);
}

Shape::Shape(bool updateEnabled, bool drawEnabled, const Point& position, const Color& color)
    : Component(updateEnabled, drawEnabled), position(position), offset(position), color(color) {
    typeTag = "SHAPE";
    componentTransform = std::make_unique<ComponentTransform>(this);
    componentTransform->setCentre(position);
}

void Shape::emitPoints(unsigned int mode) const {
    // Current when no point is drawn; each drawn point brings its own colour.
    glColor3f(color.r, color.g, color.b);
    drawPoints(mode, *componentTransform, 1, -1);
}

void Shape::draw(int elapsedMs) {
    Component::draw(elapsedMs);
    if (!drawEnabled || !componentTransform) {
        return;
    }
    emitPoints(GL_LINE_STRIP);
}

void Shape::setOwner(GameObject* object) {
    Component::setOwner(object);
    if (object != nullptr) {
        owner = object;
        setPosition(position);
    }
}

void Shape::addPoint(const Point& p) {
    if (componentTransform) {
        componentTransform->addPoint(p);
    }
}

void Shape::clearPoints() {
    if (componentTransform) {
        componentTransform->clearPoints();
    }
}

Point Shape::ownerPosition() const {
    return owner != nullptr ? owner->getPosition() : Point();
}

void Shape::setPosition(const Point& p) {
    const Point o = ownerPosition();
    position = p;
    offset = Point(p.x - o.x, p.y - o.y, p.z - o.z, OFFSET_COLOUR);
}

void Shape::setOffset(const Point& p) {
    const Point o = ownerPosition();
    offset = p;
    position = Point(p.x + o.x, p.y + o.y, p.z + o.z, OFFSET_COLOUR);
}

Color& Shape::setColor(float r, float g, float b, float a) {
    color = Color(r, g, b, a);
    return color;
}
