#pragma once

#include "core/Component.h"
#include "math/Point.h"

class GameObject;

// Base of every component that draws geometry.
//
// A shape keeps no vertices of its own: its points live in its ComponentTransform, created by
// every constructor, so they follow the owning object and every transformation of it. The
// shape only picks the primitive and brackets the emission with glBegin/glEnd; each point
// sets its own colour before its vertex.
class Shape : public Component {
  public:
    /// At the origin, colour (0, 0, 0, 0), both flags false.
    Shape();
    Shape(bool updateEnabled, bool drawEnabled);
    /// Placed at `position`, which also becomes the centre of the geometry.
    Shape(bool updateEnabled, bool drawEnabled, const Point& position, const Color& color);

    /// The points after the centre as one line strip.
    void draw(int elapsedMs) override;
    /// Moves the geometry onto the owner, then recomputes the offset against it.
    void setOwner(GameObject* object) override;

    void addPoint(const Point& p);
    /// Leaves only the centre.
    void clearPoints();

    /// Sets the world position; the offset follows, relative to the owner's position.
    void setPosition(const Point& p);
    /// Sets the offset from the owner; the world position follows.
    void setOffset(const Point& p);
    Point getPosition() const { return position; }
    Point getOffset() const { return offset; }

    /// Stores the colour and gives access to the stored one.
    Color& setColor(float r, float g, float b, float a);
    Color getColor() const { return color; }

    /// World placement of the shape.
    Point position{0.0f, 0.0f, 0.0f, Color(1.0f, 0.0f, 0.0f, 1.0f)};
    /// `position` relative to the owner's position.
    Point offset{0.0f, 0.0f, 0.0f, Color(1.0f, 0.0f, 0.0f, 1.0f)};
    /// Set before the points are emitted; the points' own colours replace it.
    Color color{0.0f, 0.0f, 0.0f, 0.0f};

  protected:
    /// Opens `mode`, sets `color`, emits every point but the centre, closes.
    void emitPoints(unsigned int mode) const;

  private:
    /// The owner's position, or the origin without an owner.
    Point ownerPosition() const;
};
