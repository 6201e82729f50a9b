#pragma once

#include <cstdint>

#include "collision/Collider.h"
#include "collision/OrientedBox.h"

class CircleCollider;

// A box: the eight corners of the cube from (-1, -1, -1) to (1, 1, 1), carried along by every
// move, scale, shear and rotation of its owner. It tests itself against other boxes with the
// fifteen-axis separating-axis test and shows the outcome on its corners: dark green after a
// step in which it touched at least one candidate's box, red after a step in which it touched
// none. Steps without a box test (paused world, no candidates) leave the colour alone. Code
// that recolours the corners itself must announce it through the geometry's pointsChanged(),
// or the next test may leave its colours standing.
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
    /// True for this class itself; a subclass may draw by other means.
    bool drawsThroughBatch() const override;

    /// The box test for a BoxCollider, false for anything else (circles included).
    bool collide(Component* other) override;
    /// Whether the two boxes touch (touching counts). Called on its own it colours this box's
    /// corners by its answer; inside the collision loop the step's summary colours them.
    bool collideWithBox(BoxCollider* other);
    /// There is no box-versus-sphere test: always false, and nothing is recoloured.
    bool collideWithCircle(CircleCollider* other);
    /// World-axis bounds of everything this box can touch; false when it must be tested
    /// against everything (sheared, not finite, too far out, or not a box at all). Answered
    /// for this class alone: a derived class may test anything (see Collider::bounds), and
    /// reaches everything unless it answers itself, with boxBounds() if that suits it.
    bool bounds(Bounds& out) override;
    bool boxBounds(Bounds& out);
    /// The box as the test sees it, for this class alone (see Collider::plainBox); null too
    /// when the geometry is missing or too short to be a box.
    const OrientedBox* plainBox() override;

  protected:
    void beginTests() override;
    void endTests() override;
    void testCandidates() override;

  private:
    void paintCorners(bool touching);
    /// Exactly this class, not a derived one: a pointer comparison.
    bool isPlainClass() const;
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

    // The box as last read from the corners; kept last (see currentBox()).
    OrientedBox box;
    std::uint64_t boxRevision = 0;  // of the geometry `box` was read from; 0: never read
    bool isBox = false;
};
