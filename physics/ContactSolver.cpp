#include "physics/ContactSolver.h"

#include <algorithm>
#include <cmath>

using _Tarn::Vector3;

namespace {

// Three coordinates and a zero in the lanes of one vector: a sum of products over a point's
// three directions is then one multiply-add per vector and one sum across at the end. The
// solver's inner loops run on these.
typedef float Lanes __attribute__((vector_size(16)));

inline Lanes lanesOf(const Vector3& v) {
    return Lanes{v.x, v.y, v.z, 0.0f};
}

inline Vector3 vectorOf(const Lanes& l) {
    return Vector3(l[0], l[1], l[2]);
}

inline float across(const Lanes& l) {
    return l[0] + l[1] + l[2];
}

inline Lanes cross(const Lanes& a, const Lanes& b) {
    const Lanes a1 = __builtin_shufflevector(a, a, 1, 2, 0, 3);
    const Lanes b1 = __builtin_shufflevector(b, b, 1, 2, 0, 3);
    const Lanes a2 = __builtin_shufflevector(a, a, 2, 0, 1, 3);
    const Lanes b2 = __builtin_shufflevector(b, b, 2, 0, 1, 3);
    return a1 * b2 - a2 * b1;
}

// An inverse inertia as its three columns (it is symmetric: its rows too).
class Inertia {
  public:
    explicit Inertia(const SymmetricMatrix3& m)
        : columns{Lanes{m.xx, m.xy, m.xz, 0.0f}, Lanes{m.xy, m.yy, m.yz, 0.0f},
                  Lanes{m.xz, m.yz, m.zz, 0.0f}} {}
    Lanes operator*(const Lanes& v) const {
        return columns[0] * v[0] + columns[1] * v[1] + columns[2] * v[2];
    }

  private:
    Lanes columns[3];
};

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

enum Axis { NORMAL, TANGENT1, TANGENT2 };

}  // namespace

// One direction of one point: r x d for each body, and its inverse inertia times that.
struct ContactSolver::Point {
    struct Direction {
        Lanes crossA;
        Lanes crossB;
        Lanes turnA;
        Lanes turnB;
    };
    Direction along[3];
    float mass[3];  // 1 / effective mass along each direction; 0 when nothing can move
    // Accumulated impulses: along the normal, then along each tangent (impulse[TANGENT1] and
    // impulse[TANGENT2]; impulse[NORMAL] is not used).
    float normalImpulse;
    float impulse[3];
    float pushImpulse;
    // The separating speed aimed at: back at restitution times the closing speed, or, for a
    // point still apart, the speed that would just close the gap.
    float target;
    float push;  // the push speed aimed at; 0 within the slop
    std::uint32_t id;
    Vector3 anchor{0.0f, 0.0f, 0.0f};  // from the centre of body a

    // The speed of b relative to a at the point along direction k; dv is vb - va.
    float speed(int k, const Lanes& direction, const Lanes& dv, const Lanes& wa,
                const Lanes& wb) const {
        return across(dv * direction + wb * along[k].crossB - wa * along[k].crossA);
    }
};

struct ContactSolver::Manifold {
    std::uint32_t a;
    std::uint32_t b;
    std::uint32_t first;  // into `points`
    std::uint32_t count;
    Lanes direction[3];  // the normal, then the two tangents
    float inverseMassA;
    float inverseMassB;
    float friction;
    bool pushes;  // some point is deeper than the slop
    // How an impulse along the normal at point k changes the normal speed at point j:
    // coupling[j][k] per unit of impulse (the contact's effective mass matrix). The normal
    // rounds work on the points' speeds through it, and touch the velocities once.
    float coupling[ContactManifold::MAX_POINTS][ContactManifold::MAX_POINTS];
};

// The velocities of a contact's two bodies, while it is solved.
struct ContactSolver::Pair {
    Lanes va;
    Lanes wa;
    Lanes vb;
    Lanes wb;
};

// A body's velocities while the contacts are solved.
struct ContactSolver::Motion {
    Lanes v;
    Lanes w;
    Lanes pushV;
    Lanes pushW;
};

ContactSolver::ContactSolver() = default;
ContactSolver::~ContactSolver() = default;

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
    Vector3 t1(0.0f, 0.0f, 0.0f);
    Vector3 t2(0.0f, 0.0f, 0.0f);
    tangentsOf(manifold.normal, t1, t2);

    Manifold m;
    m.a = a;
    m.b = b;
    m.first = static_cast<std::uint32_t>(points.size());
    m.count = static_cast<std::uint32_t>(manifold.count);
    m.direction[NORMAL] = lanesOf(manifold.normal);
    m.direction[TANGENT1] = lanesOf(t1);
    m.direction[TANGENT2] = lanesOf(t2);
    m.inverseMassA = A.inverseMass;
    m.inverseMassB = B.inverseMass;
    m.friction = friction;
    m.pushes = false;

    const Inertia inertiaA(A.inverseInertia);
    const Inertia inertiaB(B.inverseInertia);
    const Lanes centreA = lanesOf(A.centre);
    const Lanes centreB = lanesOf(B.centre);
    const Lanes dv = lanesOf(B.velocity - A.velocity);
    const Lanes wa = lanesOf(A.angularVelocity);
    const Lanes wb = lanesOf(B.angularVelocity);
    const float masses = A.inverseMass + B.inverseMass;

    for (int i = 0; i < manifold.count; ++i) {
        const ContactPoint& contact = manifold.points[i];
        const Lanes at = lanesOf(contact.position);
        const Lanes ra = at - centreA;
        const Lanes rb = at - centreB;
        Point p;
        for (int k = 0; k < 3; ++k) {
            Point::Direction& d = p.along[k];
            d.crossA = cross(ra, m.direction[k]);
            d.crossB = cross(rb, m.direction[k]);
            d.turnA = inertiaA * d.crossA;
            d.turnB = inertiaB * d.crossB;
            const float effective = masses + across(d.crossA * d.turnA + d.crossB * d.turnB);
            p.mass[k] = effective > 0.0f ? 1.0f / effective : 0.0f;
            p.impulse[k] = 0.0f;
        }
        p.normalImpulse = 0.0f;
        p.pushImpulse = 0.0f;
        p.id = contact.id;
        p.anchor = vectorOf(ra);

        // The closing speed before anything is solved decides the bounce.
        const float closing = p.speed(NORMAL, m.direction[NORMAL], dv, wa, wb);
        const bool bounces = closing < -settings.restitutionThreshold && restitution > 0.0f;
        p.target = 0.0f;
        if (bounces) {
            p.target = -restitution * closing;
        } else if (contact.depth < 0.0f) {
            p.target = contact.depth;
        }
        p.push = 0.0f;
        const float excess = contact.depth - settings.slop;
        if (excess > 0.0f) {
            // A point that bounces leaves at once, so it is pushed out of the overlap whole:
            // the bounce starts from the surface, not from as deep as the step took it.
            p.push = bounces ? excess : std::min(settings.correction * excess, settings.maxPush);
            m.pushes = true;
        }
        points.push_back(p);
    }
    const Point* added = points.data() + m.first;
    for (std::uint32_t j = 0; j < ContactManifold::MAX_POINTS; ++j) {
        for (std::uint32_t k = 0; k < ContactManifold::MAX_POINTS; ++k) {
            m.coupling[j][k] = 0.0f;
            if (j < m.count && k < m.count) {
                const Point::Direction& at = added[j].along[NORMAL];
                const Point::Direction& by = added[k].along[NORMAL];
                m.coupling[j][k] = masses + across(at.crossA * by.turnA + at.crossB * by.turnB);
            }
        }
    }
    manifolds.push_back(m);
    warmFrom(manifolds.back(), previous, previousCount, settings.matchDistance);
}

// Each point takes over the impulses of the last step's point with its id; a point whose id
// is new takes those of the nearest unclaimed point within `distance`, as the features of
// boxes that stand exactly edge to edge change from step to step with the slightest turn.
void ContactSolver::warmFrom(Manifold& m, const ContactImpulse* previous, int count,
                             float distance) {
    bool claimed[ContactManifold::MAX_POINTS] = {false, false, false, false};
    bool warm[ContactManifold::MAX_POINTS] = {false, false, false, false};
    count = std::min(count, ContactManifold::MAX_POINTS);
    const Vector3 t1 = vectorOf(m.direction[TANGENT1]);
    const Vector3 t2 = vectorOf(m.direction[TANGENT2]);
    const auto take = [&](Point& p, int q) {
        p.normalImpulse = previous[q].normal;
        p.impulse[TANGENT1] = previous[q].friction.dot(t1);
        p.impulse[TANGENT2] = previous[q].friction.dot(t2);
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
    motions.resize(bodies.size());
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        const SolverBody& body = bodies[i];
        motions[i] = Motion{lanesOf(body.velocity), lanesOf(body.angularVelocity),
                            lanesOf(body.pushVelocity), lanesOf(body.pushAngularVelocity)};
    }
    warmStart();
    for (int i = 0; i < settings.iterations; ++i) {
        solveVelocities();
    }
    for (int i = 0; i < settings.iterations; ++i) {
        solvePushes();
    }
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        SolverBody& body = bodies[i];
        const Motion& motion = motions[i];
        body.velocity = vectorOf(motion.v);
        body.angularVelocity = vectorOf(motion.w);
        body.pushVelocity = vectorOf(motion.pushV);
        body.pushAngularVelocity = vectorOf(motion.pushW);
    }
}

void ContactSolver::warmStart() {
    for (const Manifold& m : manifolds) {
        Motion& A = motions[m.a];
        Motion& B = motions[m.b];
        for (std::uint32_t i = 0; i < m.count; ++i) {
            const Point& p = points[m.first + i];
            Lanes impulse = Lanes{0.0f, 0.0f, 0.0f, 0.0f};
            const float amounts[3] = {p.normalImpulse, p.impulse[TANGENT1], p.impulse[TANGENT2]};
            for (int k = 0; k < 3; ++k) {
                impulse += m.direction[k] * amounts[k];
                A.w -= p.along[k].turnA * amounts[k];
                B.w += p.along[k].turnB * amounts[k];
            }
            A.v -= impulse * m.inverseMassA;
            B.v += impulse * m.inverseMassB;
        }
    }
}

// One pass: per contact, friction at every point (limited by the normal impulses so far),
// then the normal impulses, which matter most and so come last, twice: the points of one
// contact share the same two bodies, and the second round settles how they share the load,
// as a block solver of the contact would. It costs little (see separate()), and it is what
// keeps a tall stack from rocking itself over: with one round, stacks of more than five boxes
// sway and walk under the solver's error.
void ContactSolver::solveVelocities() {
    for (const Manifold& m : manifolds) {
        Motion& A = motions[m.a];
        Motion& B = motions[m.b];
        Pair pair{A.v, A.w, B.v, B.w};
        // Copies: the points written below could alias the manifold as far as the compiler
        // knows, and it would read these again after every write.
        const Lanes t1 = m.direction[TANGENT1];
        const Lanes t2 = m.direction[TANGENT2];
        const float ma = m.inverseMassA;
        const float mb = m.inverseMassB;
        const float friction = m.friction;
        Point* first = points.data() + m.first;
        Point* const end = first + m.count;

        for (Point* p = first; p != end; ++p) {
            const Lanes dv = pair.vb - pair.va;
            float f1 = p->impulse[TANGENT1] -
                       p->speed(TANGENT1, t1, dv, pair.wa, pair.wb) * p->mass[TANGENT1];
            float f2 = p->impulse[TANGENT2] -
                       p->speed(TANGENT2, t2, dv, pair.wa, pair.wb) * p->mass[TANGENT2];
            // Within the friction cone: a circle, the same limit in every direction.
            const float limit = friction * p->normalImpulse;
            const float squared = f1 * f1 + f2 * f2;
            if (squared > limit * limit) {
                const float scale = limit / std::sqrt(squared);
                f1 *= scale;
                f2 *= scale;
            }
            const float d1 = f1 - p->impulse[TANGENT1];
            const float d2 = f2 - p->impulse[TANGENT2];
            p->impulse[TANGENT1] = f1;
            p->impulse[TANGENT2] = f2;
            const Lanes impulse = t1 * d1 + t2 * d2;
            pair.va -= impulse * ma;
            pair.vb += impulse * mb;
            pair.wa -= p->along[TANGENT1].turnA * d1 + p->along[TANGENT2].turnA * d2;
            pair.wb += p->along[TANGENT1].turnB * d1 + p->along[TANGENT2].turnB * d2;
        }
        separate(m, 2, &Point::target, &Point::normalImpulse, pair);
        A.v = pair.va;
        A.w = pair.wa;
        B.v = pair.vb;
        B.w = pair.wb;
    }
}

void ContactSolver::solvePushes() {
    for (const Manifold& m : manifolds) {
        if (!m.pushes) {
            continue;
        }
        Motion& A = motions[m.a];
        Motion& B = motions[m.b];
        Pair pair{A.pushV, A.pushW, B.pushV, B.pushW};
        separate(m, 1, &Point::push, &Point::pushImpulse, pair);
        A.pushV = pair.va;
        A.pushW = pair.wa;
        B.pushV = pair.vb;
        B.pushW = pair.wb;
    }
}

// Non-penetration along the normal, for velocities or for push velocities: each point's
// accumulated impulse, kept at or above 0, aims its separating speed at its `aim`. The points
// are taken in turn, `rounds` times, on their speeds alone, each impulse changing the others'
// speeds through the coupling; the velocities then take all the impulses at once. This is the
// same as applying each impulse to the velocities as it is found, with a fraction of the work
// and of the wait between one point and the next.
void ContactSolver::separate(const Manifold& m, int rounds, float Point::*aim,
                             float Point::*accumulated, Pair& bodies) {
    constexpr int MOST = ContactManifold::MAX_POINTS;
    Point* p = points.data() + m.first;
    const int count = static_cast<int>(m.count);
    const Lanes n = m.direction[NORMAL];
    const Lanes dv = bodies.vb - bodies.va;
    // Four of everything, the missing points at 0, which they stay at: the loops have a
    // fixed length and unroll.
    float speed[MOST] = {0.0f, 0.0f, 0.0f, 0.0f};
    float goal[MOST] = {0.0f, 0.0f, 0.0f, 0.0f};
    float mass[MOST] = {0.0f, 0.0f, 0.0f, 0.0f};
    float impulse[MOST] = {0.0f, 0.0f, 0.0f, 0.0f};
    for (int k = 0; k < count; ++k) {
        speed[k] = p[k].speed(NORMAL, n, dv, bodies.wa, bodies.wb);
        goal[k] = p[k].*aim;
        mass[k] = p[k].mass[NORMAL];
        impulse[k] = p[k].*accumulated;
    }
    const float start[MOST] = {impulse[0], impulse[1], impulse[2], impulse[3]};
    for (int round = 0; round < rounds; ++round) {
        for (int k = 0; k < MOST; ++k) {
            const float total = std::max(impulse[k] + (goal[k] - speed[k]) * mass[k], 0.0f);
            const float d = total - impulse[k];
            impulse[k] = total;
            for (int j = 0; j < MOST; ++j) {
                speed[j] += m.coupling[j][k] * d;
            }
        }
    }
    float sum = 0.0f;
    Lanes turnA = Lanes{0.0f, 0.0f, 0.0f, 0.0f};
    Lanes turnB = Lanes{0.0f, 0.0f, 0.0f, 0.0f};
    for (int k = 0; k < count; ++k) {
        const float change = impulse[k] - start[k];
        p[k].*accumulated = impulse[k];
        sum += change;
        turnA += p[k].along[NORMAL].turnA * change;
        turnB += p[k].along[NORMAL].turnB * change;
    }
    bodies.va -= n * (sum * m.inverseMassA);
    bodies.vb += n * (sum * m.inverseMassB);
    bodies.wa -= turnA;
    bodies.wb += turnB;
}

int ContactSolver::impulses(std::size_t k, ContactImpulse* out) const {
    const Manifold& m = manifolds[k];
    const Vector3 t1 = vectorOf(m.direction[TANGENT1]);
    const Vector3 t2 = vectorOf(m.direction[TANGENT2]);
    for (std::uint32_t i = 0; i < m.count; ++i) {
        const Point& p = points[m.first + i];
        out[i].id = p.id;
        out[i].normal = p.normalImpulse;
        out[i].friction = t1 * p.impulse[TANGENT1] + t2 * p.impulse[TANGENT2];
        out[i].anchor = p.anchor;
    }
    return static_cast<int>(m.count);
}
