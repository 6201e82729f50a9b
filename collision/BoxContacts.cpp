#include "collision/BoxContacts.h"

#include <cmath>
#include <limits>

using _Tarn::Vector3;

namespace {

// Below this length the cross product of two edges is no axis worth taking as a normal: the
// edges are parallel, and a face axis answers for them.
constexpr float SHORTEST_EDGE_AXIS = 1e-3f;
// An axis replaces the best so far only when its separation exceeds
// RELATIVE * best + ABSOLUTE * (smallest half-width): b's faces must beat a's, and edges must
// beat faces, by a margin, so that a pair at rest keeps its reference face from step to step
// and its points keep their ids.
constexpr float RELATIVE_TOLERANCE = 0.95f;
constexpr float ABSOLUTE_TOLERANCE = 0.01f;
// Points of the clipped face up to this far above the reference face (times the smallest
// half-width) are kept, with a negative depth: a box that rocks a little on another keeps
// all its points from step to step instead of losing and finding them again.
constexpr float KEPT_ABOVE = 0.02f;

// Ids: bit 31 tells two crossing edges from a clipped face.
constexpr std::uint32_t EDGES = 1u << 31;

enum class AxisKind { FACE_A, FACE_B, EDGES };

struct Axis {
    AxisKind kind = AxisKind::FACE_A;
    int i = 0;  // face axis, or the edge of a
    int j = 0;  // the edge of b
    float separation = -std::numeric_limits<float>::infinity();
};

// A vertex of the incident face while it is clipped, in the reference face's frame: x and y
// along its sides, z along its normal (negative below it). Each edge of the polygon is named
// by what it lies on: 0 to 3 an edge of the incident face, 4 to 7 a side plane of the
// reference face; a vertex is named by the edge that arrives at it and the one that leaves.
struct Vertex {
    float x;
    float y;
    float z;
    std::uint8_t in;
    std::uint8_t out;
};

constexpr int MAX_CLIPPED = 8;

struct Polygon {
    Vertex v[MAX_CLIPPED];
    int count = 0;
};

float coordinate(const Vertex& v, int axis) {
    return axis == 0 ? v.x : v.y;
}

// Keeps the part of the polygon where sign * (x or y) <= limit.
void clip(const Polygon& in, int axis, float sign, float limit, std::uint8_t plane, Polygon& out) {
    out.count = 0;
    for (int k = 0, previous = in.count - 1; k < in.count; previous = k++) {
        const Vertex& s = in.v[previous];
        const Vertex& e = in.v[k];
        const float ds = sign * coordinate(s, axis) - limit;
        const float de = sign * coordinate(e, axis) - limit;
        const bool sInside = ds <= 0.0f;
        const bool eInside = de <= 0.0f;
        if (sInside != eInside) {
            const float f = ds / (ds - de);
            Vertex cut{s.x + f * (e.x - s.x), s.y + f * (e.y - s.y), s.z + f * (e.z - s.z), 0, 0};
            // Leaving the slab, the polygon goes on along the plane; entering it, it comes
            // from the plane onto the incident edge.
            cut.in = eInside ? plane : s.out;
            cut.out = eInside ? s.out : plane;
            out.v[out.count++] = cut;
        }
        if (eInside) {
            out.v[out.count++] = e;
        }
    }
}

// Twice the signed area of the triangle (a, b, c) in the reference face's plane.
float area(const Vertex& a, const Vertex& b, const Vertex& c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

float distanceSquared(const Vertex& a, const Vertex& b) {
    return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y);
}

// Of more than four points, the deepest, the one farthest from it, then the two that span
// the largest area with those on either side of the line between them.
int chooseFour(const Vertex* points, int count, int (&chosen)[4]) {
    if (count <= 4) {
        for (int k = 0; k < count; ++k) {
            chosen[k] = k;
        }
        return count;
    }
    int first = 0;
    for (int k = 1; k < count; ++k) {
        if (points[k].z < points[first].z) {
            first = k;
        }
    }
    int second = first == 0 ? 1 : 0;
    for (int k = 0; k < count; ++k) {
        if (k != first && distanceSquared(points[k], points[first]) >
                              distanceSquared(points[second], points[first])) {
            second = k;
        }
    }
    int left = -1;
    int right = -1;
    float most = 0.0f;
    float least = 0.0f;
    for (int k = 0; k < count; ++k) {
        const float a = area(points[first], points[second], points[k]);
        if (a > most) {
            most = a;
            left = k;
        } else if (a < least) {
            least = a;
            right = k;
        }
    }
    int n = 0;
    chosen[n++] = first;
    chosen[n++] = second;
    if (left >= 0) {
        chosen[n++] = left;
    }
    if (right >= 0) {
        chosen[n++] = right;
    }
    // All on one side of the line: the fourth is the point farthest from the three.
    if (n == 3) {
        float farthest = -1.0f;
        int pick = -1;
        for (int k = 0; k < count; ++k) {
            if (k == chosen[0] || k == chosen[1] || k == chosen[2]) {
                continue;
            }
            float nearest = distanceSquared(points[k], points[chosen[0]]);
            nearest = std::fmin(nearest, distanceSquared(points[k], points[chosen[1]]));
            nearest = std::fmin(nearest, distanceSquared(points[k], points[chosen[2]]));
            if (nearest > farthest) {
                farthest = nearest;
                pick = k;
            }
        }
        if (pick >= 0) {
            chosen[n++] = pick;
        }
    }
    return n;
}

// The contact along a face axis: `ref`'s face `axis` on the side `sign` (its outward normal
// sign * axes[axis] faces `inc`), `inc`'s most opposed face clipped against it. The normal
// written is the reference face's; the caller turns it round when the reference is b.
void clipFaces(const OrientedBox& ref, int axis, float sign, const OrientedBox& inc,
               std::uint32_t idBase, float above, ContactManifold& out) {
    const Vector3 n = ref.axes[axis] * sign;
    // The incident face: the one whose outward normal is most opposed to n.
    int j = 0;
    float best = -1.0f;
    for (int k = 0; k < 3; ++k) {
        const float along = std::fabs(inc.axes[k].dot(n));
        if (along > best) {
            best = along;
            j = k;
        }
    }
    const float incSign = inc.axes[j].dot(n) > 0.0f ? -1.0f : 1.0f;
    const Vector3 faceCentre = inc.centre + inc.axes[j] * (incSign * inc.halfWidths[j]);
    const Vector3 u = inc.axes[(j + 1) % 3] * inc.halfWidths[(j + 1) % 3];
    const Vector3 v = inc.axes[(j + 2) % 3] * inc.halfWidths[(j + 2) % 3];

    // The reference face's frame.
    const int su = (axis + 1) % 3;
    const int sv = (axis + 2) % 3;
    const Vector3& ru = ref.axes[su];
    const Vector3& rv = ref.axes[sv];
    const Vector3 refCentre = ref.centre + n * ref.halfWidths[axis];

    Polygon polygon;
    const float corners[4][2] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}};
    for (int k = 0; k < 4; ++k) {
        const Vector3 p = faceCentre + u * corners[k][0] + v * corners[k][1] - refCentre;
        polygon.v[k] = Vertex{p.dot(ru), p.dot(rv), p.dot(n),
                              static_cast<std::uint8_t>((k + 3) % 4), static_cast<std::uint8_t>(k)};
    }
    polygon.count = 4;

    Polygon scratch;
    clip(polygon, 0, 1.0f, ref.halfWidths[su], 4, scratch);
    clip(scratch, 0, -1.0f, ref.halfWidths[su], 5, polygon);
    clip(polygon, 1, 1.0f, ref.halfWidths[sv], 6, scratch);
    clip(scratch, 1, -1.0f, ref.halfWidths[sv], 7, polygon);

    // What lies below the reference face touches; a little above, it is about to.
    Vertex below[MAX_CLIPPED];
    int count = 0;
    for (int k = 0; k < polygon.count; ++k) {
        if (polygon.v[k].z <= above) {
            below[count++] = polygon.v[k];
        }
    }
    int chosen[4];
    count = chooseFour(below, count, chosen);

    const std::uint32_t face =
        idBase | static_cast<std::uint32_t>(j) << 6 | (incSign > 0.0f ? 1u : 0u) << 8;
    out.normal = n;
    out.count = count;
    for (int k = 0; k < count; ++k) {
        const Vertex& p = below[chosen[k]];
        ContactPoint& point = out.points[k];
        // Midway between the incident point and the reference face.
        point.position = refCentre + ru * p.x + rv * p.y + n * (0.5f * p.z);
        point.depth = -p.z;
        point.id = face | static_cast<std::uint32_t>(p.in) << 3 | p.out;
    }
}

// The point where an edge of a (along a.axes[i]) and one of b (along b.axes[j]) pass
// closest, those edges being the ones farthest out along the normal from a towards b.
void crossEdges(const OrientedBox& a, const OrientedBox& b, int i, int j, const Vector3& normal,
                float depth, ContactManifold& out) {
    Vector3 onA = a.centre;
    Vector3 onB = b.centre;
    std::uint32_t corners = 0;
    for (int k = 0; k < 3; ++k) {
        if (k != i) {
            const bool up = a.axes[k].dot(normal) >= 0.0f;
            onA += a.axes[k] * (up ? a.halfWidths[k] : -a.halfWidths[k]);
            corners |= (up ? 1u : 0u) << k;
        }
        if (k != j) {
            const bool up = b.axes[k].dot(normal) >= 0.0f;
            onB += b.axes[k] * (up ? -b.halfWidths[k] : b.halfWidths[k]);
            corners |= (up ? 1u : 0u) << (3 + k);
        }
    }
    // Closest points of the two lines, each kept on its edge.
    const Vector3& da = a.axes[i];
    const Vector3& db = b.axes[j];
    const Vector3 r = onA - onB;
    const float cosine = da.dot(db);
    const float c = da.dot(r);
    const float f = db.dot(r);
    const float denominator = 1.0f - cosine * cosine;
    float s = denominator > 0.0f ? (cosine * f - c) / denominator : 0.0f;
    s = std::fmax(-a.halfWidths[i], std::fmin(a.halfWidths[i], s));
    float t = cosine * s + f;
    t = std::fmax(-b.halfWidths[j], std::fmin(b.halfWidths[j], t));
    const Vector3 pa = onA + da * s;
    const Vector3 pb = onB + db * t;

    out.normal = normal;
    out.count = 1;
    out.points[0].position = (pa + pb) * 0.5f;
    out.points[0].depth = depth;
    out.points[0].id =
        EDGES | static_cast<std::uint32_t>(i) << 8 | static_cast<std::uint32_t>(j) << 10 | corners;
}

bool better(float candidate, float best, float scale) {
    return candidate > RELATIVE_TOLERANCE * best + ABSOLUTE_TOLERANCE * scale;
}

}  // namespace

bool boxContacts(const OrientedBox& a, const OrientedBox& b, ContactManifold& out) {
    out.count = 0;
    if (!a.isPlain() || !b.isPlain()) {
        return false;
    }
    const Vector3* B = b.axes;
    const float* ha = a.halfWidths;
    const float* hb = b.halfWidths;

    // As the box test reads the pair: b's axes and the centres' offset in a's frame.
    const OrientedBox::Relative relative = a.relativeOf(b);
    const auto& R = relative.R;
    const auto& AbsR = relative.AbsR;
    const float* t = relative.t;
    const Vector3 d = b.centre - a.centre;
    float scale = ha[0];
    for (int k = 0; k < 3; ++k) {
        scale = std::fmin(scale, std::fmin(ha[k], hb[k]));
    }

    Axis best;
    // Faces of a.
    for (int i = 0; i < 3; ++i) {
        const float rb = hb[0] * AbsR[i][0] + hb[1] * AbsR[i][1] + hb[2] * AbsR[i][2];
        const float s = std::fabs(t[i]) - (ha[i] + rb);
        if (s > 0.0f) {
            return false;
        }
        if (s > best.separation) {
            best = Axis{AxisKind::FACE_A, i, 0, s};
        }
    }
    // Faces of b.
    Axis faceB;
    for (int j = 0; j < 3; ++j) {
        const float ra = ha[0] * AbsR[0][j] + ha[1] * AbsR[1][j] + ha[2] * AbsR[2][j];
        const float p = t[0] * R[0][j] + t[1] * R[1][j] + t[2] * R[2][j];
        const float s = std::fabs(p) - (ra + hb[j]);
        if (s > 0.0f) {
            return false;
        }
        if (s > faceB.separation) {
            faceB = Axis{AxisKind::FACE_B, j, 0, s};
        }
    }
    if (better(faceB.separation, best.separation, scale)) {
        best = faceB;
    }
    // Edges: a[i] x b[j]. The projections go through R, as in the box test; the separation
    // is the gap divided by the axis's length, compared between edges without dividing: for
    // gaps at or below 0, g1 / l1 > g2 / l2 exactly when g1^2 l2^2 < g2^2 l1^2.
    Axis edge;
    float edgeGap = 0.0f;
    float edgeLength2 = 0.0f;
    for (int i = 0; i < 3; ++i) {
        const int i1 = (i + 1) % 3;
        const int i2 = (i + 2) % 3;
        for (int j = 0; j < 3; ++j) {
            const int j1 = (j + 1) % 3;
            const int j2 = (j + 2) % 3;
            const float p = t[i2] * R[i1][j] - t[i1] * R[i2][j];
            const float ra = ha[i1] * AbsR[i2][j] + ha[i2] * AbsR[i1][j];
            const float rb = hb[j1] * AbsR[i][j2] + hb[j2] * AbsR[i][j1];
            const float gap = std::fabs(p) - (ra + rb);
            if (gap > 0.0f) {
                return false;
            }
            const float length2 = 1.0f - R[i][j] * R[i][j];
            if (!(length2 >= SHORTEST_EDGE_AXIS * SHORTEST_EDGE_AXIS)) {
                continue;
            }
            if (edge.kind != AxisKind::EDGES ||
                gap * gap * edgeLength2 < edgeGap * edgeGap * length2) {
                edge = Axis{AxisKind::EDGES, i, j, 0.0f};
                edgeGap = gap;
                edgeLength2 = length2;
            }
        }
    }
    if (edge.kind == AxisKind::EDGES) {
        edge.separation = edgeGap / std::sqrt(edgeLength2);
        if (better(edge.separation, best.separation, scale)) {
            best = edge;
        }
    }

    switch (best.kind) {
        case AxisKind::FACE_A: {
            const float sign = t[best.i] >= 0.0f ? 1.0f : -1.0f;
            const std::uint32_t id =
                static_cast<std::uint32_t>(best.i) << 9 | (sign > 0.0f ? 1u : 0u) << 11;
            clipFaces(a, best.i, sign, b, id, KEPT_ABOVE * scale, out);
            break;
        }
        case AxisKind::FACE_B: {
            const float p = d.dot(B[best.i]);
            // The reference face of b faces a: against d.
            const float sign = p > 0.0f ? -1.0f : 1.0f;
            const std::uint32_t id =
                static_cast<std::uint32_t>(best.i) << 9 | (sign > 0.0f ? 1u : 0u) << 11 | 1u << 12;
            clipFaces(b, best.i, sign, a, id, KEPT_ABOVE * scale, out);
            out.flip();
            break;
        }
        case AxisKind::EDGES: {
            Vector3 normal = a.axes[best.i].cross(B[best.j]);
            normal = normal / std::sqrt(normal.dot(normal));
            if (normal.dot(d) < 0.0f) {
                normal = -normal;
            }
            crossEdges(a, b, best.i, best.j, normal, -best.separation, out);
            break;
        }
    }
    return out.count > 0;
}
