#include "physics/ContactSolver.h"

#include <algorithm>
#include <cmath>

using _Tarn::Vector3;

namespace {

// Two unit tangents that complete the unit normal n to a right-handed frame, chosen from n
// alone so that a normal that barely turns gives tangents that barely turn.
void tangentsOf(const Vector3& n, Vector3& t1, Vector3& t2) {
    if (std::fabs(n.z) > 0.7071f) {
        const float a = n.y * n.y + n.z * n.z;
        const float k = 1.0f / std::sqrt(a);
        t1 = Vector3(0.0f, -n.z * k, n.y * k);
        t2 = Vector3(a * k, -n.x * t1.z, n.x * t1.y);
    } else {
        const float a = n.x * n.x + n.y * n.y;
        const float k = 1.0f / std::sqrt(a);
        t1 = Vector3(-n.y * k, n.x * k, 0.0f);
        t2 = Vector3(-n.z * t1.y, n.z * t1.x, a * k);
    }
}

// The speed of b relative to a at the point, along the direction.
template <typename Direction>
float relativeSpeed(const Vector3& d, const Direction& dir, const Vector3& va, const Vector3& wa,
                    const Vector3& vb, const Vector3& wb) {
    return (vb - va).dot(d) + wb.dot(dir.crossB) - wa.dot(dir.crossA);
}

// An impulse `amount` along d, pushing b and pulling a.
template <typename Direction>
void apply(const Vector3& d, const Direction& dir, float amount, float inverseMassA,
           float inverseMassB, Vector3& va, Vector3& wa, Vector3& vb, Vector3& wb) {
    va -= d * (amount * inverseMassA);
    wa -= dir.turnA * amount;
    vb += d * (amount * inverseMassB);
    wb += dir.turnB * amount;
}

}  // namespace

void ContactSolver::clear() {
    manifolds.clear();
    points.clear();
}

void ContactSolver::add(const std::vector<SolverBody>& bodies, std::uint32_t a, std::uint32_t b,
                        const ContactManifold& manifold, float friction, float restitution,
                        const ContactImpulse* previous, int previousCount,
                        const ContactSettings& settings) {
    const SolverBody& A = bodies[a];
    const SolverBody& B = bodies[b];
    Manifold m;
    m.a = a;
    m.b = b;
    m.normal = manifold.normal;
    tangentsOf(m.normal, m.tangent1, m.tangent2);
    m.friction = friction;
    m.first = static_cast<std::uint32_t>(points.size());
    m.count = static_cast<std::uint32_t>(manifold.count);

    const auto direction = [&](const Vector3& d, const Vector3& ra, const Vector3& rb) {
        Direction dir;
        dir.crossA = ra.cross(d);
        dir.crossB = rb.cross(d);
        dir.turnA = A.inverseInertia * dir.crossA;
        dir.turnB = B.inverseInertia * dir.crossB;
        const float k =
            A.inverseMass + B.inverseMass + dir.crossA.dot(dir.turnA) + dir.crossB.dot(dir.turnB);
        dir.mass = k > 0.0f ? 1.0f / k : 0.0f;
        return dir;
    };

    for (int k = 0; k < manifold.count; ++k) {
        const ContactPoint& contact = manifold.points[k];
        const Vector3 ra = contact.position - A.centre;
        const Vector3 rb = contact.position - B.centre;
        Point p;
        p.id = contact.id;
        p.normal = direction(m.normal, ra, rb);
        p.tangent1 = direction(m.tangent1, ra, rb);
        p.tangent2 = direction(m.tangent2, ra, rb);

        // The closing speed before anything is solved decides the bounce.
        const float closing = relativeSpeed(m.normal, p.normal, A.velocity, A.angularVelocity,
                                            B.velocity, B.angularVelocity);
        const bool bounces = closing < -settings.restitutionThreshold && restitution > 0.0f;
        if (bounces) {
            p.target = -restitution * closing;
        } else if (contact.depth < 0.0f) {
            p.target = contact.depth;
        }
        const float excess = contact.depth - settings.slop;
        if (excess > 0.0f) {
            // A point that bounces leaves at once, so it is pushed out of the overlap whole:
            // the bounce starts from the surface, not from as deep as the step took it.
            p.push = bounces ? excess : std::min(settings.correction * excess, settings.maxPush);
            m.pushes = true;
        }
        p.anchor = ra;
        points.push_back(p);
    }
    manifolds.push_back(m);
    warmFrom(manifolds.back(), previous, previousCount, settings.matchDistance);
}

// Each point takes over the impulses of the last step's point with its id; a point whose id
// is new takes those of the nearest unclaimed point within `distance`, as the features of
// boxes that stand exactly edge to edge change from step to step with the slightest turn.
void ContactSolver::warmFrom(const Manifold& m, const ContactImpulse* previous, int count,
                             float distance) {
    bool claimed[ContactManifold::MAX_POINTS] = {false, false, false, false};
    bool warm[ContactManifold::MAX_POINTS] = {false, false, false, false};
    count = std::min(count, ContactManifold::MAX_POINTS);
    const auto take = [&](Point& p, int q) {
        p.normalImpulse = previous[q].normal;
        p.tangentImpulse1 = previous[q].friction.dot(m.tangent1);
        p.tangentImpulse2 = previous[q].friction.dot(m.tangent2);
        claimed[q] = true;
    };
    for (std::uint32_t k = 0; k < m.count; ++k) {
        Point& p = points[m.first + k];
        for (int q = 0; q < count; ++q) {
            if (!claimed[q] && previous[q].id == p.id) {
                take(p, q);
                warm[k] = true;
                break;
            }
        }
    }
    for (std::uint32_t k = 0; k < m.count; ++k) {
        if (warm[k]) {
            continue;
        }
        Point& p = points[m.first + k];
        int nearest = -1;
        float best = distance * distance;
        for (int q = 0; q < count; ++q) {
            const Vector3 d = previous[q].anchor - p.anchor;
            if (!claimed[q] && d.dot(d) <= best) {
                best = d.dot(d);
                nearest = q;
            }
        }
        if (nearest >= 0) {
            take(p, nearest);
        }
    }
}

void ContactSolver::solve(std::vector<SolverBody>& bodies, const ContactSettings& settings) {
    warmStart(bodies);
    for (int i = 0; i < settings.iterations; ++i) {
        solveVelocities(bodies);
    }
    for (int i = 0; i < settings.iterations; ++i) {
        solvePushes(bodies);
    }
}

void ContactSolver::warmStart(std::vector<SolverBody>& bodies) const {
    for (const Manifold& m : manifolds) {
        SolverBody& A = bodies[m.a];
        SolverBody& B = bodies[m.b];
        for (std::uint32_t k = 0; k < m.count; ++k) {
            const Point& p = points[m.first + k];
            apply(m.normal, p.normal, p.normalImpulse, A.inverseMass, B.inverseMass, A.velocity,
                  A.angularVelocity, B.velocity, B.angularVelocity);
            apply(m.tangent1, p.tangent1, p.tangentImpulse1, A.inverseMass, B.inverseMass,
                  A.velocity, A.angularVelocity, B.velocity, B.angularVelocity);
            apply(m.tangent2, p.tangent2, p.tangentImpulse2, A.inverseMass, B.inverseMass,
                  A.velocity, A.angularVelocity, B.velocity, B.angularVelocity);
        }
    }
}

// One pass: per contact, friction at every point (limited by the normal impulses so far),
// then the normal impulses, which matter most and so come last, twice: the points of one
// contact share the same two bodies, and the second round settles how they share the load,
// as a block solver of the contact would. It costs little, as the two bodies' velocities are
// at hand, and it is what keeps a tall stack from rocking itself over: with one round,
// stacks of more than five boxes sway and walk under the solver's error.
void ContactSolver::solveVelocities(std::vector<SolverBody>& bodies) {
    for (const Manifold& m : manifolds) {
        SolverBody& A = bodies[m.a];
        SolverBody& B = bodies[m.b];
        Vector3 va = A.velocity;
        Vector3 wa = A.angularVelocity;
        Vector3 vb = B.velocity;
        Vector3 wb = B.angularVelocity;
        const float ma = A.inverseMass;
        const float mb = B.inverseMass;
        Point* first = points.data() + m.first;
        Point* const end = first + m.count;

        for (Point* p = first; p != end; ++p) {
            const float s1 = relativeSpeed(m.tangent1, p->tangent1, va, wa, vb, wb);
            const float s2 = relativeSpeed(m.tangent2, p->tangent2, va, wa, vb, wb);
            float f1 = p->tangentImpulse1 - s1 * p->tangent1.mass;
            float f2 = p->tangentImpulse2 - s2 * p->tangent2.mass;
            // Within the friction cone: a circle, the same limit in every direction.
            const float limit = m.friction * p->normalImpulse;
            const float squared = f1 * f1 + f2 * f2;
            if (squared > limit * limit) {
                const float scale = limit / std::sqrt(squared);
                f1 *= scale;
                f2 *= scale;
            }
            apply(m.tangent1, p->tangent1, f1 - p->tangentImpulse1, ma, mb, va, wa, vb, wb);
            apply(m.tangent2, p->tangent2, f2 - p->tangentImpulse2, ma, mb, va, wa, vb, wb);
            p->tangentImpulse1 = f1;
            p->tangentImpulse2 = f2;
        }
        for (int round = 0; round < 2; ++round) {
            for (Point* p = first; p != end; ++p) {
                const float speed = relativeSpeed(m.normal, p->normal, va, wa, vb, wb);
                const float total =
                    std::max(p->normalImpulse + (p->target - speed) * p->normal.mass, 0.0f);
                apply(m.normal, p->normal, total - p->normalImpulse, ma, mb, va, wa, vb, wb);
                p->normalImpulse = total;
            }
        }
        A.velocity = va;
        A.angularVelocity = wa;
        B.velocity = vb;
        B.angularVelocity = wb;
    }
}

void ContactSolver::solvePushes(std::vector<SolverBody>& bodies) {
    for (const Manifold& m : manifolds) {
        if (!m.pushes) {
            continue;
        }
        SolverBody& A = bodies[m.a];
        SolverBody& B = bodies[m.b];
        Vector3 va = A.pushVelocity;
        Vector3 wa = A.pushAngularVelocity;
        Vector3 vb = B.pushVelocity;
        Vector3 wb = B.pushAngularVelocity;
        Point* first = points.data() + m.first;
        Point* const end = first + m.count;
        for (Point* p = first; p != end; ++p) {
            const float speed = relativeSpeed(m.normal, p->normal, va, wa, vb, wb);
            const float total = std::max(p->pushImpulse + (p->push - speed) * p->normal.mass, 0.0f);
            apply(m.normal, p->normal, total - p->pushImpulse, A.inverseMass, B.inverseMass, va, wa,
                  vb, wb);
            p->pushImpulse = total;
        }
        A.pushVelocity = va;
        A.pushAngularVelocity = wa;
        B.pushVelocity = vb;
        B.pushAngularVelocity = wb;
    }
}

int ContactSolver::impulses(std::size_t k, ContactImpulse* out) const {
    const Manifold& m = manifolds[k];
    for (std::uint32_t i = 0; i < m.count; ++i) {
        const Point& p = points[m.first + i];
        out[i].id = p.id;
        out[i].normal = p.normalImpulse;
        out[i].friction = m.tangent1 * p.tangentImpulse1 + m.tangent2 * p.tangentImpulse2;
        out[i].anchor = p.anchor;
    }
    return static_cast<int>(m.count);
}

float ContactSolver::normalImpulse(std::size_t k) const {
    const Manifold& m = manifolds[k];
    float sum = 0.0f;
    for (std::uint32_t i = 0; i < m.count; ++i) {
        sum += points[m.first + i].normalImpulse;
    }
    return sum;
}
