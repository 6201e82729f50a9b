#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "collision/BoxContacts.h"
#include "collision/SphereContacts.h"
#include "math/Matrix.h"
#include "support/VectorText.h"

// Contact manifolds against closed forms: where boxes and spheres touch, along which normal,
// how deep, and that a point found again after a small move keeps its id.

using _Tarn::Vector3;

namespace {

constexpr float ROOT2 = 1.41421356f;
constexpr float QUARTER_TURN = 0.785398163f;  // 45 degrees
constexpr float TOLERANCE = 1e-4f;

// A box at `centre` with half-widths `half`, turned (radians) about x, then y, then z.
OrientedBox makeBox(Vector3 centre, Vector3 half = {1.0f, 1.0f, 1.0f},
                    Vector3 turn = {0.0f, 0.0f, 0.0f}) {
    const Matrix m =
        Matrix::rotationZ(turn.z) * Matrix::rotationY(turn.y) * Matrix::rotationX(turn.x);
    OrientedBox box;
    for (int k = 0; k < 3; ++k) {
        box.axes[k] = Vector3(m.get(0, k), m.get(1, k), m.get(2, k));
    }
    box.halfWidths[0] = half.x;
    box.halfWidths[1] = half.y;
    box.halfWidths[2] = half.z;
    box.centre = centre;
    box.reach = 1.01f * std::sqrt(half.dot(half));
    return box;
}

bool near(const Vector3& a, const Vector3& b, float tolerance = TOLERANCE) {
    return std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance &&
           std::fabs(a.z - b.z) <= tolerance;
}

// Every expected point must be found, at its depth, and nothing else.
void expectManifold(const ContactManifold& m, const Vector3& normal, float depth,
                    const std::vector<Vector3>& points) {
    EXPECT_TRUE(near(m.normal, normal)) << "normal " << show(m.normal);
    ASSERT_EQ(m.count, static_cast<int>(points.size()));
    for (const Vector3& expected : points) {
        bool found = false;
        for (int k = 0; k < m.count; ++k) {
            if (near(m.points[k].position, expected)) {
                found = true;
                EXPECT_NEAR(m.points[k].depth, depth, TOLERANCE) << "at " << show(expected);
            }
        }
        EXPECT_TRUE(found) << "no point at " << show(expected);
    }
}

std::set<std::uint32_t> ids(const ContactManifold& m) {
    std::set<std::uint32_t> all;
    for (int k = 0; k < m.count; ++k) {
        all.insert(m.points[k].id);
    }
    return all;
}

// Whether p lies in the box grown by `margin` on every side.
bool inside(const OrientedBox& box, const Vector3& p, float margin) {
    const Vector3 d = p - box.centre;
    for (int k = 0; k < 3; ++k) {
        if (std::fabs(d.dot(box.axes[k])) > box.halfWidths[k] + margin) {
            return false;
        }
    }
    return true;
}

// The distinct corners of the axis-aligned box from lo to hi: four for a face, two for an
// edge, one for a point.
std::vector<Vector3> span(const Vector3& lo, const Vector3& hi) {
    std::vector<Vector3> corners;
    for (int k = 0; k < 8; ++k) {
        const Vector3 c(k & 1 ? hi.x : lo.x, k & 2 ? hi.y : lo.y, k & 4 ? hi.z : lo.z);
        if (std::none_of(corners.begin(), corners.end(),
                         [&](const Vector3& p) { return near(p, c); })) {
            corners.push_back(c);
        }
    }
    return corners;
}

struct BoxCase {
    const char* name;
    OrientedBox a;
    OrientedBox b;
    Vector3 normal;
    float depth;
    std::vector<Vector3> points;
};

TEST(ContactsTest, BoxesAgainstClosedForms) {
    const float lift = 2.0f - 0.1f;    // 0.1 deep
    const float edge = ROOT2 - 0.05f;  // midway between two edges 0.1 deep
    const OrientedBox unit = makeBox({0, 0, 0});
    const OrientedBox wide = makeBox({0, 0, 0}, {3, 1, 3});
    const OrientedBox diamond = makeBox({0, 0, 0}, {1, 1, 1}, {0, 0, QUARTER_TURN});
    const Vector3 up(0, 1, 0);
    // The unit box's top face sunk to the middle of the overlap.
    const std::vector<Vector3> top = span({-1, 0.95f, -1}, {1, 0.95f, 1});
    const OrientedBox crossing = makeBox({0, 2 * ROOT2 - 0.1f, 0}, {1, 1, 1}, {QUARTER_TURN, 0, 0});
    const OrientedBox onItsEdge =
        makeBox({0, 1 + ROOT2 - 0.1f, 0}, {1, 1, 1}, {0, 0, QUARTER_TURN});
    // clang-format off
    const BoxCase cases[] = {
        {"face on face", unit, makeBox({0, lift, 0}), up, 0.1f, top},
        {"just touching", unit, makeBox({0, 2, 0}), up, 0.0f, span({-1, 1, -1}, {1, 1, 1})},
        {"below", unit, makeBox({0, -lift, 0}), -up, 0.1f, span({-1, -0.95f, -1}, {1, -0.95f, 1})},
        {"half over the edge", unit, makeBox({1.5f, lift, 0}), up, 0.1f,
         span({0.5f, 0.95f, -1}, {1, 0.95f, 1})},
        {"small on large", wide, makeBox({0, lift, 0}), up, 0.1f, top},
        {"large on small", unit, makeBox({0, lift, 0}, {3, 1, 3}), up, 0.1f, top},
        {"sideways along x", unit, makeBox({-lift, 0, 0}), {-1, 0, 0}, 0.1f,
         span({-0.95f, -1, -1}, {-0.95f, 1, 1})},
        {"edge across edge", diamond, crossing, up, 0.1f, {{0, edge, 0}}},
        {"edge on face", wide, onItsEdge, up, 0.1f, span({0, 0.95f, -1}, {0, 0.95f, 1})},
    };
    // clang-format on
    for (const BoxCase& c : cases) {
        SCOPED_TRACE(c.name);
        ContactManifold m;
        ASSERT_TRUE(boxContacts(c.a, c.b, m));
        expectManifold(m, c.normal, c.depth, c.points);
        // Seen from the other box: the same points, the normal turned round.
        ContactManifold reversed;
        ASSERT_TRUE(boxContacts(c.b, c.a, reversed));
        expectManifold(reversed, -c.normal, c.depth, c.points);
    }
}

TEST(ContactsTest, BoxesApartOrNotBoxesHaveNoContact) {
    OrientedBox sheared = makeBox({0, 1.5f, 0});
    sheared.reach = std::numeric_limits<float>::infinity();
    const struct {
        const char* name;
        OrientedBox a;
        OrientedBox b;
    } cases[] = {
        {"a hair apart", makeBox({0, 0, 0}), makeBox({0, 2.001f, 0})},
        {"apart across edges", makeBox({0, 0, 0}, {1, 1, 1}, {0, 0, QUARTER_TURN}),
         makeBox({0, 2 * ROOT2 + 0.01f, 0}, {1, 1, 1}, {QUARTER_TURN, 0, 0})},
        {"diagonal apart", makeBox({0, 0, 0}), makeBox({2.01f, 2.01f, 2.01f})},
        {"no plain box", makeBox({0, 0, 0}), sheared},
    };
    for (const auto& c : cases) {
        ContactManifold m;
        EXPECT_FALSE(boxContacts(c.a, c.b, m)) << c.name;
        EXPECT_EQ(m.count, 0) << c.name;
    }
}

TEST(ContactsTest, ABoxTurnedOnAFaceKeepsFourPointsInsideBoth) {
    // Turned by 45 degrees the lower face of b overhangs a's top in eight places; four stay.
    const OrientedBox a = makeBox({0, 0, 0});
    const OrientedBox b = makeBox({0, 1.9f, 0}, {1, 1, 1}, {0, QUARTER_TURN, 0});
    ContactManifold m;
    ASSERT_TRUE(boxContacts(a, b, m));
    EXPECT_TRUE(near(m.normal, {0, 1, 0}));
    ASSERT_EQ(m.count, 4);
    for (int k = 0; k < m.count; ++k) {
        EXPECT_NEAR(m.points[k].depth, 0.1f, TOLERANCE);
        EXPECT_TRUE(inside(a, m.points[k].position, 0.05f + TOLERANCE));
        EXPECT_TRUE(inside(b, m.points[k].position, 0.05f + TOLERANCE));
    }
    // Four different points spanning the face, not four of one side.
    EXPECT_EQ(ids(m).size(), 4u);
}

// A pair at rest, nudged: its points move a little and keep their ids, so that what the
// solver learnt about each carries over.
TEST(ContactsTest, PointsKeepTheirIdsUnderASmallMove) {
    const struct {
        const char* name;
        OrientedBox a;
        Vector3 at;
        Vector3 turn;
    } cases[] = {
        {"face on face", makeBox({0, 0, 0}), {0.3f, 1.9f, -0.2f}, {0, 0.2f, 0}},
        {"turned on a face", makeBox({0, 0, 0}), {0, 1.9f, 0}, {0, QUARTER_TURN, 0}},
        {"edge across edge",
         makeBox({0, 0, 0}, {1, 1, 1}, {0, 0, QUARTER_TURN}),
         {0, 2 * ROOT2 - 0.1f, 0},
         {QUARTER_TURN, 0, 0}},
        {"tilted on a face", makeBox({0, 0, 0}, {4, 1, 4}), {0, 1.9f, 0}, {0.05f, 0, 0.03f}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ContactManifold before;
        ContactManifold after;
        ASSERT_TRUE(boxContacts(c.a, makeBox(c.at, {1, 1, 1}, c.turn), before));
        const Vector3 nudge(0.003f, -0.002f, 0.002f);
        const Vector3 turn(c.turn.x + 0.002f, c.turn.y - 0.003f, c.turn.z + 0.001f);
        ASSERT_TRUE(boxContacts(c.a, makeBox(c.at + nudge, {1, 1, 1}, turn), after));
        EXPECT_EQ(ids(before).size(), static_cast<std::size_t>(before.count));
        EXPECT_EQ(ids(before), ids(after));
    }
}

// Random pairs near contact: a contact only when the box test says they touch (the same
// fifteen axes), one to four points, each inside both boxes grown by its depth.
TEST(ContactsTest, RandomPairsAgreeWithTheBoxTest) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> size(0.2f, 2.0f);
    std::uniform_real_distribution<float> angle(-3.14159f, 3.14159f);
    std::uniform_real_distribution<float> place(-3.0f, 3.0f);
    int touching = 0;
    for (int n = 0; n < 20000; ++n) {
        const OrientedBox a = makeBox({0, 0, 0}, {size(random), size(random), size(random)},
                                      {angle(random), angle(random), angle(random)});
        const OrientedBox b = makeBox({place(random), place(random), place(random)},
                                      {size(random), size(random), size(random)},
                                      {angle(random), angle(random), angle(random)});
        ContactManifold m;
        const bool contact = boxContacts(a, b, m);
        const bool touches = a.touches(b);
        ASSERT_TRUE(!contact || touches) << "pair " << n;
        if (!contact) {
            continue;
        }
        ++touching;
        ASSERT_GE(m.count, 1);
        ASSERT_LE(m.count, 4);
        EXPECT_NEAR(m.normal.dot(m.normal), 1.0f, 1e-4f) << "pair " << n;
        EXPECT_GE(m.normal.dot(b.centre - a.centre), -1e-4f) << "pair " << n;
        // Points a little apart are kept, up to 2 % of the smallest half-width.
        float smallest = a.halfWidths[0];
        for (int k = 0; k < 3; ++k) {
            smallest = std::min({smallest, a.halfWidths[k], b.halfWidths[k]});
        }
        for (int k = 0; k < m.count; ++k) {
            const ContactPoint& p = m.points[k];
            const float reach = std::fabs(p.depth) + 1e-3f;
            EXPECT_GE(p.depth, -0.02f * smallest - 1e-6f) << "pair " << n;
            EXPECT_TRUE(inside(a, p.position, reach)) << "pair " << n << " point " << k;
            EXPECT_TRUE(inside(b, p.position, reach)) << "pair " << n << " point " << k;
        }
    }
    // Most of the touching pairs have contact points (the rest graze at a clipped corner).
    EXPECT_GT(touching, 3000);
}

struct SphereCase {
    const char* name;
    bool box;  // a is the unit box turned by `turn`; otherwise a sphere of radius 1
    Vector3 turn;
    Vector3 b;
    float radius;
    Vector3 normal;
    float depth;
    Vector3 point;
};

TEST(ContactsTest, SpheresAgainstClosedForms) {
    const float s = 1.0f / ROOT2;
    const float root3 = std::sqrt(3.0f);
    const float corner = 0.5f * (1.0f + 1.6f - 1.1f / root3);
    const Vector3 none(0, 0, 0);
    const Vector3 diagonal(1 / root3, 1 / root3, 1 / root3);
    // clang-format off
    const SphereCase cases[] = {
        {"sphere beside sphere", false, none, {1.5f, 0, 0}, 1.0f, {1, 0, 0}, 0.5f, {0.75f, 0, 0}},
        {"spheres touching", false, none, {0, 0, -2}, 1.0f, {0, 0, -1}, 0.0f, {0, 0, -1}},
        {"concentric spheres", false, none, {0, 0, 0}, 0.5f, {0, 1, 0}, 1.5f, {0, 0.25f, 0}},
        {"on a face", true, none, {0, 1.5f, 0}, 1.0f, {0, 1, 0}, 0.5f, {0, 0.75f, 0}},
        {"on an edge", true, none, {1.5f, 1.5f, 0}, 1.0f, {s, s, 0}, 1.0f - s,
         {0.5f * (2.5f - s), 0.5f * (2.5f - s), 0}},
        {"on a corner", true, none, {1.6f, 1.6f, 1.6f}, 1.1f, diagonal, 1.1f - 0.6f * root3,
         {corner, corner, corner}},
        {"centre inside", true, none, {0, 0.8f, 0.1f}, 0.5f, {0, 1, 0}, 0.7f, {0, 0.65f, 0.1f}},
        {"on a turned box's edge", true, {0, 0, QUARTER_TURN}, {0, ROOT2 + 0.5f, 0}, 1.0f,
         {0, 1, 0}, 0.5f, {0, ROOT2 - 0.25f, 0}},
    };
    // clang-format on
    for (const SphereCase& c : cases) {
        SCOPED_TRACE(c.name);
        ContactManifold m;
        const bool contact =
            c.box ? boxSphereContacts(makeBox({0, 0, 0}, {1, 1, 1}, c.turn), c.b, c.radius, m)
                  : sphereContacts({0, 0, 0}, 1.0f, c.b, c.radius, m);
        ASSERT_TRUE(contact);
        ASSERT_EQ(m.count, 1);
        EXPECT_TRUE(near(m.normal, c.normal)) << show(m.normal);
        EXPECT_NEAR(m.points[0].depth, c.depth, TOLERANCE);
        EXPECT_TRUE(near(m.points[0].position, c.point)) << show(m.points[0].position);
    }
}

TEST(ContactsTest, SpheresApartOrNotSolidHaveNoContact) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const OrientedBox box = makeBox({0, 0, 0});
    ContactManifold m;
    EXPECT_FALSE(sphereContacts({0, 0, 0}, 1.0f, {2.001f, 0, 0}, 1.0f, m));
    EXPECT_FALSE(sphereContacts({0, 0, 0}, 1.0f, {0.5f, 0, 0}, -1.0f, m));
    EXPECT_FALSE(sphereContacts({0, 0, 0}, 1.0f, {nan, 0, 0}, 1.0f, m));
    EXPECT_FALSE(sphereContacts({0, 0, 0}, inf, {0.5f, 0, 0}, 1.0f, m));
    EXPECT_FALSE(boxSphereContacts(box, {1.71f, 1.71f, 1.71f}, 1.2f, m));
    EXPECT_FALSE(boxSphereContacts(box, {0, 2.01f, 0}, 1.0f, m));
    EXPECT_FALSE(boxSphereContacts(box, {0, nan, 0}, 1.0f, m));
    EXPECT_FALSE(boxSphereContacts(box, {0, 0.5f, 0}, nan, m));
    EXPECT_EQ(m.count, 0);
}

}  // namespace
