#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <string>

#include "collision/Bounds.h"
#include "collision/BoxCollider.h"
#include "collision/OrientedBox.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "support/world/WorldFixture.h"

namespace {

constexpr float PI = 3.14159265358979f;

const std::vector<Point>& points(const BoxCollider& box) {
    return box.componentTransform->points;
}

using Vec = std::array<double, 3>;

Vec sub(const Vec& u, const Vec& v) {
    return {u[0] - v[0], u[1] - v[1], u[2] - v[2]};
}
Vec cross(const Vec& u, const Vec& v) {
    return {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
}
double dot(const Vec& u, const Vec& v) {
    return u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
}

// Corners 1 to 8 in double, and three edges of the box taken from other corner pairs than
// the engine reads (1-4, 1-2, 1-6), so that the reference does not share its indices.
struct Corners {
    std::array<Vec, 8> at;
    std::array<Vec, 3> edges;
};

Corners cornersOf(const BoxCollider& box) {
    Corners c;
    for (size_t i = 0; i < 8; ++i) {
        const Point& p = points(box)[i + 1];
        c.at[i] = {p.x, p.y, p.z};
    }
    c.edges = {sub(c.at[0], c.at[3]), sub(c.at[0], c.at[1]), sub(c.at[0], c.at[5])};
    return c;
}

// Largest gap between the two boxes' projections over the fifteen candidate axes, in world
// units (positive: separated by that much; negative: overlapping on every axis). Axes are
// built generically: face normals as cross products of two edges of a box, edge axes as the
// cross product of an edge of each box. Near-degenerate axes (parallel edges) are skipped.
struct Separation {
    double gap;
    double faceGap;  // the largest gap over the six face axes alone
};

Separation bruteForceSeparation(const Corners& a, const Corners& b) {
    std::array<Vec, 15> axes;
    size_t n = 0;
    for (const Corners* box : {&a, &b}) {
        axes[n++] = cross(box->edges[1], box->edges[2]);
        axes[n++] = cross(box->edges[2], box->edges[0]);
        axes[n++] = cross(box->edges[0], box->edges[1]);
    }
    for (const Vec& ea : a.edges) {
        for (const Vec& eb : b.edges) {
            axes[n++] = cross(ea, eb);
        }
    }
    Separation best{-1e30, -1e30};
    for (size_t k = 0; k < axes.size(); ++k) {
        const double length = std::sqrt(dot(axes[k], axes[k]));
        if (length < 1e-6) {
            continue;
        }
        double minA = 1e30, maxA = -1e30, minB = 1e30, maxB = -1e30;
        for (size_t i = 0; i < 8; ++i) {
            const double pa = dot(a.at[i], axes[k]) / length;
            const double pb = dot(b.at[i], axes[k]) / length;
            minA = std::min(minA, pa);
            maxA = std::max(maxA, pa);
            minB = std::min(minB, pb);
            maxB = std::max(maxB, pb);
        }
        const double gap = std::max(minB - maxA, minA - maxB);
        best.gap = std::max(best.gap, gap);
        if (k < 6) {
            best.faceGap = std::max(best.faceGap, gap);
        }
    }
    return best;
}

class OrientedBoxTest : public WorldFixture {};
class BoxContactTest : public WorldFixture {};
class BoxReachTest : public WorldFixture {};
class BoxBoundsTest : public WorldFixture {};

}  // namespace

TEST_F(OrientedBoxTest, ReadsCentreSignedUnitAxesAndHalfWidthsFromTheCorners) {
    // Scaled to half-widths (0.5, 2, 3), then turned a quarter about z (the engine's matrices
    // turn clockwise seen from +z): x now points along -y and y along +x. Absolute values
    // would lose the sign of the first axis.
    const BoxCollider& box = addBox({{1, 2, 3}, {0.5f, 2, 3}, {0, 0, PI / 2}});
    OrientedBox read;
    ASSERT_TRUE(OrientedBox::fromCorners(points(box), read));
    const float expectedAxes[3][3] = {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}};
    const float expectedHalfWidths[3] = {0.5f, 2, 3};
    EXPECT_NEAR(read.centre.x, 1, 1e-6);
    EXPECT_NEAR(read.centre.y, 2, 1e-6);
    EXPECT_NEAR(read.centre.z, 3, 1e-6);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE("axis " + std::to_string(i));
        EXPECT_NEAR(read.axes[i].x, expectedAxes[i][0], 1e-6);
        EXPECT_NEAR(read.axes[i].y, expectedAxes[i][1], 1e-6);
        EXPECT_NEAR(read.axes[i].z, expectedAxes[i][2], 1e-6);
        EXPECT_NEAR(read.halfWidths[i], expectedHalfWidths[i], 1e-5);
    }

    // Too few points to be a box: nothing is read and the box is left as it was.
    std::vector<Point> partial(points(box).begin(), points(box).begin() + 8);
    OrientedBox untouched;
    untouched.halfWidths[0] = 7;
    EXPECT_FALSE(OrientedBox::fromCorners(partial, untouched));
    EXPECT_EQ(untouched.halfWidths[0], 7);
    EXPECT_EQ(untouched.centre.x, 0);
}

TEST_F(BoxContactTest, ApartTouchingOverlappingRotatedAndNested) {
    const float root2 = std::sqrt(2.0f);
    struct Case {
        const char* name;
        float scaleA, turnA;  // uniform scale, then a turn about z (radians)
        float scaleB, turnB;
        float dx, dy, dz;  // centre of B relative to A (at the origin)
        bool touching;
        // A squashed before the turn: flat to a square, a segment or a point.
        _Tarn::Vector3 squashA{1, 1, 1};
    };
    const Case cases[] = {
        // Edge 2: faces meet at a centre distance of exactly 2 along any axis.
        {"touching along x", 1, 0, 1, 0, 2, 0, 0, true},
        {"apart along x", 1, 0, 1, 0, 2.001f, 0, 0, false},
        {"touching along -y", 1, 0, 1, 0, 0, -2, 0, true},
        {"apart along -y", 1, 0, 1, 0, 0, -2.001f, 0, false},
        {"touching along z", 1, 0, 1, 0, 0, 0, 2, true},
        {"apart along z", 1, 0, 1, 0, 0, 0, 2.001f, false},
        {"corners meet", 1, 0, 1, 0, 2, 2, 2, true},
        {"diagonal gap", 1, 0, 1, 0, 2, 2.001f, 2, false},
        // The size is the box's own: half the limit at scale 0.5, three times at scale 3.
        {"half size touching", 0.5f, 0, 0.5f, 0, 1, 0, 0, true},
        {"half size apart", 0.5f, 0, 0.5f, 0, 1.001f, 0, 0, false},
        {"triple size touching", 3, 0, 3, 0, 0, 6, 0, true},
        {"triple size apart", 3, 0, 3, 0, 0, 6.01f, 0, false},
        {"mixed sizes touching", 3, 0, 0.5f, 0, 0, 0, 3.5f, true},
        {"mixed sizes apart", 3, 0, 0.5f, 0, 0, 0, 3.51f, false},
        // Turned 45 degrees, A reaches sqrt(2) along x: the limit is 1 + sqrt(2) = 2.414.
        {"turned 45, in contact", 1, PI / 4, 1, 0, 2.40f, 0, 0, true},
        {"turned 45, apart", 1, PI / 4, 1, 0, 2.43f, 0, 0, false},
        {"both turned 45, in contact", 1, PI / 4, 1, PI / 4, 2 * root2 - 0.01f, 0, 0, true},
        {"both turned 45, apart", 1, PI / 4, 1, PI / 4, 2 * root2 + 0.01f, 0, 0, false},
        // A quarter turn changes nothing about a cube's extent.
        {"quarter turn touching", 1, PI / 2, 1, 0, 2, 0, 0, true},
        {"quarter turn apart", 1, PI / 2, 1, 0, 2.001f, 0, 0, false},
        {"same place", 1, 0, 1, 0, 0, 0, 0, true},
        {"small box inside a large one", 3, 0, 0.5f, PI / 5, 1, -1, 1, true},
        {"large box around a small one", 0.5f, PI / 5, 3, 0, -1, 1, -1, true},
        // A box with an edge of length zero once touched every box in the world, at any
        // distance, one way round; it touches what it touches, and is bounded like any other.
        {"point, box 5 away", 1, 0, 1, 0, 5, 0, 0, false, {0, 0, 0}},
        {"point, box 1000 away", 1, 0, 1, 0, 1000, 0, 0, false, {0, 0, 0}},
        {"point inside", 1, 0, 1, 0, 0.5f, 0.2f, -0.3f, true, {0, 0, 0}},
        {"point on a face", 1, 0, 1, 0, 1, 0, 0, true, {0, 0, 0}},
        {"point just outside", 1, 0, 1, 0, 1.001f, 0, 0, false, {0, 0, 0}},
        {"square under a face", 1, 0, 1, 0, 0.3f, -0.2f, 1, true, {1, 1, 0}},
        {"square just below", 1, 0, 1, 0, 0.3f, -0.2f, 1.01f, false, {1, 1, 0}},
        {"square edge on a face", 1, 0, 1, 0, 2, 0, 0.5f, true, {1, 1, 0}},
        {"square edge just apart", 1, 0, 1, 0, 2.01f, 0, 0.5f, false, {1, 1, 0}},
        {"segment on a face", 1, 0, 1, 0, 0, 1, 0, true, {1, 0, 0}},
        {"segment just below", 1, 0, 1, 0, 0, 1.01f, 0, false, {1, 0, 0}},
        {"segment end on a face", 1, 0, 1, 0, 2, 0, 0, true, {1, 0, 0}},
        {"turned segment through", 1, PI / 4, 1, 0, 1.5f, -1.5f, 0, true, {1, 0, 0}},
        {"turned segment past", 1, PI / 4, 1, 0, 1.5f, 1.5f, 0, false, {1, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        _Tarn::Vector3 sizeA = c.squashA;
        sizeA *= c.scaleA;
        BoxCollider& a = addBox({{0, 0, 0}, sizeA, {0, 0, c.turnA}});
        BoxCollider& b =
            addBox({{c.dx, c.dy, c.dz}, {c.scaleB, c.scaleB, c.scaleB}, {0, 0, c.turnB}});
        EXPECT_EQ(a.collideWithBox(&b), c.touching);
        EXPECT_EQ(b.collideWithBox(&a), c.touching);
        Bounds bounds;
        EXPECT_TRUE(a.bounds(bounds));
    }
}

TEST_F(BoxContactTest, NotANumberNeverSeparates) {
    BoxCollider& a = addBox(0, 0, 0);
    BoxCollider& b = addBox(50, 0, 0);
    b.componentTransform->points[0].x = std::nanf("");
    EXPECT_TRUE(a.collideWithBox(&b));
}

TEST_F(BoxContactTest, AgreesWithBruteForceSeparatingAxesOnRandomBoxes) {
    std::mt19937 random(20240611);
    std::uniform_real_distribution<float> offset(-2.5f, 2.5f);
    std::uniform_real_distribution<float> scale(0.2f, 1.5f);
    std::uniform_real_distribution<float> angle(-PI, PI);

    // Pairs closer to the boundary than this are left out: there float rounding, not the
    // test, decides the answer.
    constexpr double AMBIGUOUS = 1e-4;
    int compared = 0, touching = 0, separatedByFace = 0, separatedOnlyByEdges = 0;
    for (int pair = 0; pair < 4000; ++pair) {
        restart();
        // A braced list draws its values in order, unlike the arguments of a call.
        BoxCollider& a = addBox({{offset(random) / 4, offset(random) / 4, offset(random) / 4},
                                 {scale(random), scale(random), scale(random)},
                                 {angle(random), angle(random), angle(random)}});
        BoxCollider& b = addBox({{offset(random), offset(random), offset(random)},
                                 {scale(random), scale(random), scale(random)},
                                 {angle(random), angle(random), angle(random)}});
        const Separation expected = bruteForceSeparation(cornersOf(a), cornersOf(b));
        if (std::fabs(expected.gap) < AMBIGUOUS) {
            continue;
        }
        ++compared;
        const bool expectTouching = expected.gap < 0;
        touching += expectTouching;
        separatedByFace += !expectTouching && expected.faceGap > 0;
        separatedOnlyByEdges += !expectTouching && expected.faceGap <= 0;
        ASSERT_EQ(a.collideWithBox(&b), expectTouching)
            << "pair " << pair << ", reference gap " << expected.gap;
        ASSERT_EQ(b.collideWithBox(&a), expectTouching) << "pair " << pair;
    }
    // The mix must exercise every kind of outcome, the edge axes above all (about 120 of the
    // pairs are separated by an edge axis and by no face axis).
    EXPECT_GT(compared, 3950);
    EXPECT_GT(touching, 1200);
    EXPECT_GT(separatedByFace, 1800);
    EXPECT_GT(separatedOnlyByEdges, 100);
}

TEST_F(BoxContactTest, ParallelEdgesDoNotSeparateThroughRounding) {
    // Two equally turned boxes share their edge directions, so every cross-product axis is
    // (nearly) zero and both sides of its comparison are rounding noise. Boxes that overlap
    // along each of their shared axes must stay in contact whatever that noise says.
    std::mt19937 random(7);
    std::uniform_real_distribution<float> angle(-PI, PI);
    std::uniform_real_distribution<float> along(-1.99f, 1.99f);
    for (int pair = 0; pair < 2000; ++pair) {
        restart();
        const _Tarn::Vector3 turn{angle(random), angle(random), angle(random)};
        BoxCollider& a = addBox({{0, 0, 0}, {1, 1, 1}, turn});
        // B's centre, less than 2 from A's along each of A's (unit) edge directions.
        const Corners c = cornersOf(a);
        Vec d{0, 0, 0};
        for (const Vec& edge : c.edges) {
            const double u = static_cast<double>(along(random)) / std::sqrt(dot(edge, edge));
            d = {d[0] + u * edge[0], d[1] + u * edge[1], d[2] + u * edge[2]};
        }
        const _Tarn::Vector3 at{static_cast<float>(d[0]), static_cast<float>(d[1]),
                                static_cast<float>(d[2])};
        BoxCollider& b = addBox({at, {1, 1, 1}, turn});
        ASSERT_TRUE(a.collideWithBox(&b)) << "pair " << pair;
        ASSERT_TRUE(b.collideWithBox(&a)) << "pair " << pair;
    }
}

TEST_F(BoxReachTest, ReachAndBoundsHoldEveryCornerAndAreInfiniteWhereTheTestIsNotGeometric) {
    const float inf = std::numeric_limits<float>::infinity();
    constexpr float UNBOUNDED = -1;
    struct Case {
        const char* name;
        BoxCollider* box;
        float halfDiagonal;  // UNBOUNDED: reach infinite, no bounds
    };
    const Case cases[] = {
        {"unit box", &addBox(0, 0, 0), std::sqrt(3.0f)},
        {"scaled and turned", &addBox({{4, -2, 7}, {0.5f, 2, 3}, {0.3f, -1.1f, 2.0f}}),
         std::sqrt(0.25f + 4 + 9)},
        // Flat boxes are boxes of width 0, bounded like any other.
        {"flattened to a square", &addBox({{0, 0, 0}, {1, 1, 0}}), std::sqrt(2.0f)},
        {"flattened and turned", &addBox({{3, 1, -2}, {0, 2, 0.5f}, {0.4f, 1.2f, -0.7f}}),
         std::sqrt(4.25f)},
        {"shrunk to a point", &addBox({{5, 6, 7}, {0, 0, 0}}), 0},
        {"sheared", &addBox(0, 0, 0), UNBOUNDED},
        {"NaN corner", &addBox(0, 0, 0), UNBOUNDED},
        {"beyond 1e18", &addBox({{2e18f, 0, 0}, {1e12f, 1e12f, 1e12f}}), UNBOUNDED},
    };
    cases[5].box->owner->transform->shear(0.5f, 0, 0);
    cases[6].box->componentTransform->points[6].y = std::nanf("");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OrientedBox read;
        ASSERT_TRUE(OrientedBox::fromCorners(points(*c.box), read));
        Bounds bounds;
        if (c.halfDiagonal == UNBOUNDED) {
            EXPECT_EQ(read.reach, inf);
            EXPECT_FALSE(read.bounds(bounds));
            EXPECT_FALSE(c.box->bounds(bounds));
            continue;
        }
        // Room for rounding, but not so much that far pairs reach the full test.
        EXPECT_GE(read.reach, c.halfDiagonal * 1.001f);
        EXPECT_LE(read.reach, c.halfDiagonal * 1.05f);
        ASSERT_TRUE(c.box->bounds(bounds));
        for (size_t i = 1; i < points(*c.box).size(); ++i) {
            const Point& p = points(*c.box)[i];
            const float dx = p.x - read.centre.x, dy = p.y - read.centre.y,
                        dz = p.z - read.centre.z;
            EXPECT_LE(std::sqrt(dx * dx + dy * dy + dz * dz), read.reach) << "corner " << i;
            const float at[3] = {p.x, p.y, p.z};
            for (int k = 0; k < 3; ++k) {
                EXPECT_TRUE(bounds.lo[k] < at[k] && at[k] < bounds.hi[k]) << "corner " << i;
            }
        }
    }
}

TEST_F(BoxReachTest, EarlyRejectionNeverTurnsAwayAPairInContact) {
    // The hardest pairs for the spheres: centres scattered around the distance at which the
    // spheres meet, random sizes and turns, so that corners point at each other and boxes come
    // closest to touching while their spheres are apart.
    std::mt19937 random(99);
    std::uniform_real_distribution<float> unit(-1, 1);
    std::uniform_real_distribution<float> scale(0.1f, 2.0f);
    std::uniform_real_distribution<float> angle(-PI, PI);
    std::uniform_real_distribution<float> spread(0.9f, 1.1f);
    int rejected = 0, touching = 0;
    for (int pair = 0; pair < 20000; ++pair) {
        restart();
        // Drawn one by one: the order in which arguments are evaluated is unspecified.
        const _Tarn::Vector3 sizeA{scale(random), scale(random), scale(random)};
        const _Tarn::Vector3 turnA{angle(random), angle(random), angle(random)};
        BoxCollider& a = addBox({{0, 0, 0}, sizeA, turnA});
        const float sx = scale(random), sy = scale(random), sz = scale(random);
        OrientedBox boxA;
        ASSERT_TRUE(OrientedBox::fromCorners(points(a), boxA));
        const float reachB = std::sqrt(sx * sx + sy * sy + sz * sz);
        const float halfDiagonalA = std::sqrt(boxA.halfWidths[0] * boxA.halfWidths[0] +
                                              boxA.halfWidths[1] * boxA.halfWidths[1] +
                                              boxA.halfWidths[2] * boxA.halfWidths[2]);
        Vec direction{unit(random), unit(random), unit(random)};
        const double norm = std::sqrt(dot(direction, direction));
        const double distance =
            static_cast<double>((halfDiagonalA + reachB) * spread(random)) / norm;
        const _Tarn::Vector3 turnB{angle(random), angle(random), angle(random)};
        const _Tarn::Vector3 atB{static_cast<float>(direction[0] * distance),
                                 static_cast<float>(direction[1] * distance),
                                 static_cast<float>(direction[2] * distance)};
        BoxCollider& b = addBox({atB, {sx, sy, sz}, turnB});
        OrientedBox boxB;
        ASSERT_TRUE(OrientedBox::fromCorners(points(b), boxB));
        const bool full = boxA.touches(boxB);
        touching += full;
        if (!boxA.mayTouch(boxB)) {
            ++rejected;
            ASSERT_FALSE(full) << "pair " << pair;
            ASSERT_FALSE(boxB.touches(boxA)) << "pair " << pair;
        }
        ASSERT_EQ(a.collideWithBox(&b), full) << "pair " << pair;
    }
    EXPECT_GT(rejected, 5000);
    EXPECT_GT(touching, 100);

    // A NaN centre never rejects: the full test decides, as before.
    OrientedBox boxA, boxFar;
    OrientedBox::fromCorners(points(addBox(0, 0, 0)), boxA);
    OrientedBox::fromCorners(points(addBox(50, 0, 0)), boxFar);
    EXPECT_FALSE(boxA.mayTouch(boxFar));
    boxFar.centre.x = std::nanf("");
    EXPECT_TRUE(boxA.mayTouch(boxFar));
}

TEST_F(BoxBoundsTest, BoxesInContactNeverHaveBoundsApart) {
    // Random sizes from 0.01 to 30 (flat ones too), turns and shears, centres around the
    // distance where the boxes come closest to touching, and axis-aligned boxes placed face
    // to face exactly, near and far from the origin: wherever the full test finds contact,
    // the bounds must overlap, or a box must have none.
    std::mt19937 random(31);
    std::uniform_real_distribution<float> unit(-1, 1);
    std::uniform_real_distribution<float> exponent(-2.0f, 1.5f);
    std::uniform_real_distribution<float> angle(-PI, PI);
    std::uniform_real_distribution<float> spread(0.2f, 1.05f);
    const auto size = [&] { return std::pow(10.0f, exponent(random)); };
    int touching = 0, unbounded = 0, apart = 0;
    for (int pair = 0; pair < 20000; ++pair) {
        restart();
        const bool faceToFace = pair % 5 == 0;
        // Every other face-to-face pair sits at the origin, a hair apart: the test's allowance
        // for rounding still finds those in contact.
        const bool hairApart = pair % 10 == 0;
        const _Tarn::Vector3 sa{size(), size(), pair % 17 == 0 ? 0.0f : size()};
        const _Tarn::Vector3 sb{size(), size(), size()};
        const _Tarn::Vector3 ta{angle(random), angle(random), angle(random)};
        const _Tarn::Vector3 tb{angle(random), angle(random), angle(random)};
        const float origin = faceToFace && !hairApart ? 1e4f * unit(random) : 0.0f;
        _Tarn::Vector3 at{0, 0, 0};
        if (faceToFace) {
            const float hair = hairApart ? 5e-7f * (sb.x + sb.y + sb.z) : 0.0f;
            at.x = origin + sa.x + sb.x + hair;
            at.y = 0.5f * unit(random) * (sa.y + sb.y);
            at.z = 0.5f * unit(random) * (sa.z + sb.z);
        } else {
            const float reach = std::sqrt(sa.x * sa.x + sa.y * sa.y + sa.z * sa.z) +
                                std::sqrt(sb.x * sb.x + sb.y * sb.y + sb.z * sb.z);
            Vec direction{unit(random), unit(random), unit(random)};
            const double scale =
                static_cast<double>(reach * spread(random)) / std::sqrt(dot(direction, direction));
            at = {static_cast<float>(direction[0] * scale),
                  static_cast<float>(direction[1] * scale),
                  static_cast<float>(direction[2] * scale)};
        }
        const _Tarn::Vector3 none{0, 0, 0};
        BoxCollider& a = addBox({{origin, 0, 0}, sa, faceToFace ? none : ta});
        BoxCollider& b = addBox({at, sb, faceToFace ? none : tb});
        if (pair % 11 == 0) {
            b.owner->transform->shear(0.2f, 0, 0);
        }
        // Either way round: boxes that exactly touch may round differently from each side.
        const bool contact = a.collideWithBox(&b) || b.collideWithBox(&a);
        Bounds boundsA, boundsB;
        const bool bounded = a.bounds(boundsA) && b.bounds(boundsB);
        unbounded += !bounded;
        if (!bounded) {
            continue;
        }
        touching += contact;
        apart += !boundsA.overlaps(boundsB);
        if (contact) {
            ASSERT_TRUE(boundsA.overlaps(boundsB)) << "pair " << pair;
        }
    }
    EXPECT_GT(touching, 4000);
    EXPECT_GT(apart, 2000);
    EXPECT_GT(unbounded, 1000);
}
