#include "collision/BoxCollider.h"

#include <GL/gl.h>

#include <iterator>
#include <typeinfo>

#include "collision/BroadPhase.h"
#include "collision/CircleCollider.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/PointDrawing.h"

namespace {

const char* const TAG = "BOXCOLLIDER";
const Color APART(1.0f, 0.0f, 0.0f, 1.0f);
const Color CONTACT(0.0f, 0.5f, 0.1f, 1.0f);

// In the order OrientedBox reads its edges from.
const float CORNERS[8][3] = {{1, 1, 1},   {1, -1, 1}, {-1, -1, 1}, {-1, 1, 1},
                             {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}, {-1, -1, -1}};

void addCorners(ComponentTransform& geometry) {
    geometry.reservePoints(geometry.points.size() + std::size(CORNERS));
    for (const auto& c : CORNERS) {
        geometry.addPoint(Point(c[0], c[1], c[2], APART));
    }
}

}  // namespace

BoxCollider::BoxCollider() {
    addCorners(*componentTransform);
    typeTag = TAG;
}

BoxCollider::BoxCollider(bool updateEnabled, bool drawEnabled, bool colliderFlag, Point centre)
    : Collider(updateEnabled, drawEnabled, centre, colliderFlag) {
    addCorners(*componentTransform);
    typeTag = TAG;
}

BoxCollider::BoxCollider(bool updateEnabled, bool drawEnabled, bool colliderFlag, Point centre,
                         int extra)
    : Collider(updateEnabled, drawEnabled, extra, centre, colliderFlag) {
    addCorners(*componentTransform);
    typeTag = TAG;
}

void BoxCollider::draw(int /*elapsedMs*/) {
    if (!updateEnabled || !componentTransform) {
        return;
    }
    // The corners in one batch, at the point size the previous dot left.
    drawPoints(GL_POINTS, *componentTransform, 1, -1);
    drawDot(componentTransform->position);
}

bool BoxCollider::collide(Component* other) {
    if (other == nullptr) {
        return false;
    }
    // The exact class is the common case and costs a comparison; subclasses take the cast.
    if (typeid(*other) == typeid(BoxCollider)) {
        return collideWithBox(static_cast<BoxCollider*>(other));
    }
    if (auto* otherBox = dynamic_cast<BoxCollider*>(other)) {
        return collideWithBox(otherBox);
    }
    if (auto* circle = dynamic_cast<CircleCollider*>(other)) {
        return collideWithCircle(circle);
    }
    return false;
}

bool BoxCollider::collideWithBox(BoxCollider* other) {
    if (other == nullptr) {
        return false;
    }
    const OrientedBox* a = currentBox();
    const OrientedBox* b = other->currentBox();
    // The bounding spheres first: they settle most pairs of a large scene at once and never
    // turn away a pair that the fifteen axes would find in contact.
    const bool touching = a != nullptr && b != nullptr && a->mayTouch(*b) && a->touches(*b);
    if (inLoop) {
        ++loopBoxTests;
        loopContact = loopContact || touching;
    } else {
        paintCorners(touching);
    }
    return touching;
}

bool BoxCollider::collideWithCircle(CircleCollider* /*other*/) {
    return false;
}

bool BoxCollider::isPlainClass() const {
    return typeid(*this) == typeid(BoxCollider);
}

bool BoxCollider::bounds(Bounds& out) {
    return isPlainClass() && boxBounds(out);
}

bool BoxCollider::boxBounds(Bounds& out) {
    const OrientedBox* kept = currentBox();
    return kept != nullptr && kept->bounds(out);
}

const OrientedBox* BoxCollider::plainBox() {
    return isPlainClass() ? currentBox() : nullptr;
}

void BoxCollider::beginTests() {
    inLoop = true;
    loopBoxTests = 0;
    loopContact = false;
}

// A box shows what its step's box tests found, and a step without any leaves the colour
// alone. In the all-pairs step a box tests every other box of the world; a broad phase leaves
// out those it cannot touch, so a box that it left with no box to test touches none, and
// shows it as the all-pairs step would have.
void BoxCollider::endTests() {
    inLoop = false;
    if (loopBoxTests > 0) {
        paintCorners(loopContact);
        return;
    }
    const BroadPhase* broadPhase = BroadPhase::of(*owner);
    if (broadPhase != nullptr && broadPhase->leftOutBoxes(*owner)) {
        paintCorners(false);
    }
}

void BoxCollider::testCandidates() {
    // In a world with a broad phase, the tests against plain boxes run on the broad phase's
    // contiguous copies of the boxes instead of walking each candidate's objects. Only the
    // exact class: a derived class may answer differently.
    BroadPhase* broadPhase = BroadPhase::of(*owner);
    if (broadPhase != nullptr && isPlainClass() &&
        broadPhase->testBoxes(*owner, *this, loopBoxTests, loopContact)) {
        return;
    }
    Collider::testCandidates();
}

// The box is read from the corners once after they change, not on every test, and kept with
// the revision of the geometry it was read from. It and that revision are the collider's last
// members, so that the box's centre and reach, the revision, and the head of the geometry
// allocated right after the collider (with its own revision) tend to share a cache line: a
// test that the spheres settle then reads little else of the other box.
const OrientedBox* BoxCollider::currentBox() {
    if (!componentTransform) {
        return nullptr;
    }
    const std::uint64_t revision = componentTransform->getRevision();
    if (revision != boxRevision) {
        isBox = OrientedBox::fromCorners(componentTransform->points, box);
        boxRevision = revision;
    }
    return isBox ? &box : nullptr;
}

void BoxCollider::paintCorners(bool touching) {
    if (!componentTransform) {
        return;
    }
    // Painted with this answer since the last change of the points: every corner shows it, so
    // a box whose state stays the same writes nothing.
    const std::uint64_t revision = componentTransform->getRevision();
    if (revision == paintedRevision && touching == paintedContact) {
        return;
    }
    paintedRevision = revision;
    paintedContact = touching;
    // Point 0, the centre, keeps its own colour.
    auto& points = componentTransform->points;
    const Color colour = touching ? CONTACT : APART;
    for (size_t i = 1; i < points.size(); ++i) {
        points[i].color = colour;
    }
}

bool BoxCollider::drawsThroughBatch() const {
    return isPlainClass();
}
