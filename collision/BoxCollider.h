#pragma once

#include <cstdint>

#include "collision/Collider.h"
#include "collision/OrientedBox.h"

class CircleCollider;

// A box: the eight corners of the cube from (-1, -1, -1) to (1, 1, 1), carried along by every
// move, scale, shear and rotation of its owner. It tests itself against other boxes with the
// fifteen-axis separating-axis test and shows the outcome on its corners: dark green after a
// step in which it touched at least one candidate's box, red after a step in which it touched
// none. Steps without a box test (paused world, no candidates) leave the colour alone.
//
// The box the test sees (centre, axes, half-widths) is read from the corners once after they
// change, not on every test: it is kept with the revision of the geometry it was read from.
// Before the fifteen axes, a test compares the two boxes' bounding spheres, which settles most
// pairs of a large scene at once and can never turn away a pair that the full test would
// find in contact. Corners that already show the answer are not painted again, so a box
// whose state stays the same writes nothing; code that recolours the corners itself must say
// so through the geometry's pointsChanged().
class BoxCollider : public Collider {
  public:
    BoxCollider();
    /// The centre argument is not used; this is the demonstration's constructor.
    BoxCollider(bool updateEnabled, bool drawEnabled, bool colliderFlag, Point centre);
    /// `centre` becomes the geometry's centre offset; `extra` is not used.
    BoxCollider(bool updateEnabled, bool drawEnabled, bool colliderFlag, Point centre, int extra);

    /// The corners as points in their current colours, then the centre as a 4-pixel dot.
    /// Gated by updateEnabled, not drawEnabled: a box that does not test shows nothing.
    void draw(int elapsedMs) override;

    /// The box test for a BoxCollider, false for anything else (circles included).
    bool collide(Component* other) override;
    /// Whether the two boxes touch (touching counts). Called on its own it colours this box's
    /// corners by its answer; inside the collision loop the step's summary colours them.
    bool collideWithBox(BoxCollider* other);
    /// There is no box-versus-sphere test: always false, and nothing is recoloured.
    bool collideWithCircle(CircleCollider* other);
    /// World-axis bounds of everything this box can touch; false when it must be tested
    /// against everything (sheared, not finite, too far out, or not a box at all).
    bool bounds(Bounds& out);

  protected:
    void beginTests() override;
    void endTests() override;

  private:
    void paintCorners(bool touching);
    /// The box as the test sees it, read again when the corners have changed since the last
    /// read; null when the geometry is missing or too short to be a box.
    const OrientedBox* currentBox();

    // What the box tests of the collision loop under way found so far.
    bool inLoop = false;
    int loopBoxTests = 0;
    bool loopContact = false;

    // What the corners were last painted to show, and the geometry's revision then.
    std::uint64_t paintedRevision = 0;
    bool paintedContact = false;

    // Last, so that the box's centre and reach, the revision it was read from, and the head
    // of the geometry allocated right after this collider (with its revision) tend to share
    // a cache line: a test that the spheres settle then reads little else of the other box.
    OrientedBox box;
    std::uint64_t boxRevision = 0;  // of the geometry `box` was read from; 0: never read
    bool isBox = false;
};
