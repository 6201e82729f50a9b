#pragma once

#include "collision/Collider.h"

class CircleCollider;

// A box: the eight corners of the cube from (-1, -1, -1) to (1, 1, 1), carried along by every
// move, scale, shear and rotation of its owner. It tests itself against other boxes with the
// fifteen-axis separating-axis test and shows the outcome on its corners: dark green after a
// step in which it touched at least one candidate's box, red after a step in which it touched
// none. Steps without a box test (paused world, no candidates) leave the colour alone.
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

  protected:
    void beginTests() override;
    void endTests() override;

  private:
    void paintCorners(bool touching);

    // What the box tests of the collision loop under way found so far.
    bool inLoop = false;
    int loopBoxTests = 0;
    bool loopContact = false;
};
