#pragma once

#include "core/Component.h"

// Where a spring is fastened to an object: a small square pyramid whose apex is the mount
// point. The mount point is point 1 of the component's point list, so it follows every move,
// scale and rotation of the object.
//
// A positive height puts the apex below the base, at (0, -height, 0) before attachment.
class Mount : public Component {
  public:
    /// Both flags false, height 1.
    Mount();
    Mount(bool updateEnabled, bool drawEnabled, float height);

    /// Does nothing: the mount moves with its object.
    void update(int elapsedMs) override;
    /// The pyramid's six triangles, then the centre and the mount point as dots.
    void draw(int elapsedMs) override;
    /// True for this class itself; a subclass may draw by other means.
    bool drawsThroughBatch() const override;

  private:
    void build(float height);
};
