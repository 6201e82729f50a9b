// Cost of one box-versus-box test on a fixed mix of random boxes, about half of the pairs in
// contact. BM_CollideWithBox is the engine's full call on two colliders; BM_LeanReference is
// the classic fifteen-axis test on centres, unit axes and half-extents prepared beforehand,
// the least any box test can do; BM_CollideWithBoxOverReference times the two in alternation
// within one benchmark and reports their ratio, so that a busy machine slows both alike.
//
// Each runs on 128 pairs, whose colliders, geometry and corners fit in a 512 KiB L2 cache
// along with the packed reference boxes, and on 1024 pairs, whose colliders do not (the
// reference boxes still do): the second shows what the engine's object layout costs in
// memory traffic on top of the arithmetic.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ThreadClock.h"
#include "collision/BoxCollider.h"
#include "collision/OrientedBox.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"

namespace {

// Powers of two, and more pairs than a branch predictor learns by heart.
constexpr std::size_t FEW_PAIRS = 128;
constexpr std::size_t MANY_PAIRS = 1024;

// A box as the textbook test takes it.
struct LeanBox {
    float centre[3];
    float axis[3][3];  // unit axes
    float half[3];     // half-extents along them
};

float dot3(const float* u, const float* v) {
    return u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
}

// The classic separating-axis test of two oriented boxes: the three face axes of each, then
// the nine edge-edge cross products, all written through the rotation matrix R that carries
// B into A's frame. Not inlined, so that it pays for a call as the engine's test does.
__attribute__((noinline)) bool leanTouches(const LeanBox& a, const LeanBox& b) {
    constexpr float EPSILON = 1e-6f;
    float R[3][3];
    float AbsR[3][3];
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            R[i][j] = dot3(a.axis[i], b.axis[j]);
            AbsR[i][j] = std::fabs(R[i][j]) + EPSILON;
        }
    }
    const float d[3] = {b.centre[0] - a.centre[0], b.centre[1] - a.centre[1],
                        b.centre[2] - a.centre[2]};
    const float t[3] = {dot3(d, a.axis[0]), dot3(d, a.axis[1]), dot3(d, a.axis[2])};
    const float* ea = a.half;
    const float* eb = b.half;
    float ra;
    float rb;
    for (int i = 0; i < 3; ++i) {
        ra = ea[i];
        rb = eb[0] * AbsR[i][0] + eb[1] * AbsR[i][1] + eb[2] * AbsR[i][2];
        if (std::fabs(t[i]) > ra + rb) {
            return false;
        }
    }
    for (int i = 0; i < 3; ++i) {
        ra = ea[0] * AbsR[0][i] + ea[1] * AbsR[1][i] + ea[2] * AbsR[2][i];
        rb = eb[i];
        if (std::fabs(t[0] * R[0][i] + t[1] * R[1][i] + t[2] * R[2][i]) > ra + rb) {
            return false;
        }
    }
    for (int i = 0; i < 3; ++i) {
        const int i1 = (i + 1) % 3;
        const int i2 = (i + 2) % 3;
        for (int j = 0; j < 3; ++j) {
            const int j1 = (j + 1) % 3;
            const int j2 = (j + 2) % 3;
            ra = ea[i1] * AbsR[i2][j] + ea[i2] * AbsR[i1][j];
            rb = eb[j1] * AbsR[i][j2] + eb[j2] * AbsR[i][j1];
            if (std::fabs(t[i2] * R[i1][j] - t[i1] * R[i2][j]) > ra + rb) {
                return false;
            }
        }
    }
    return true;
}

LeanBox leanBoxOf(const OrientedBox& box) {
    LeanBox lean{};
    lean.centre[0] = box.centre.x;
    lean.centre[1] = box.centre.y;
    lean.centre[2] = box.centre.z;
    for (int i = 0; i < 3; ++i) {
        lean.axis[i][0] = box.axes[i].x;
        lean.axis[i][1] = box.axes[i].y;
        lean.axis[i][2] = box.axes[i].z;
        lean.half[i] = box.halfWidths[i];
    }
    return lean;
}

// Random boxes, pair i being boxes 2i and 2i + 1: random sizes and rotations, centres close
// enough that about half of the pairs touch, so both early exits and all fifteen axes count.
class BoxPairs {
  public:
    explicit BoxPairs(std::size_t count) : count(count) {
        std::mt19937 random(1234);
        std::uniform_real_distribution<float> offset(-1.8f, 1.8f);
        std::uniform_real_distribution<float> scale(0.3f, 1.5f);
        std::uniform_real_distribution<float> angle(-3.14159f, 3.14159f);
        for (std::size_t i = 0; i < 2 * count; ++i) {
            auto object = std::make_unique<GameObject>(
                true, true, Point(offset(random), offset(random), offset(random), Color()));
            auto* box = new BoxCollider(true, true, true, Point());
            object->addComponent(box);
            object->transform->scale(scale(random), scale(random), scale(random));
            object->transform->rotate(angle(random), angle(random), angle(random));
            OrientedBox read;
            OrientedBox::fromCorners(box->componentTransform->points, read);
            objects.push_back(std::move(object));
            colliders.push_back(box);
            geometry.push_back(read);
            lean.push_back(leanBoxOf(read));
        }
        for (std::size_t i = 0; i < count; ++i) {
            touching += leanTouches(lean[2 * i], lean[2 * i + 1]);
        }
    }

    std::string label() const {
        return std::to_string(touching * 100 / count) + "% of pairs touching";
    }

    std::size_t count;

    std::vector<std::unique_ptr<GameObject>> objects;
    std::vector<BoxCollider*> colliders;
    std::vector<OrientedBox> geometry;
    std::vector<LeanBox> lean;
    std::size_t touching = 0;
};

const BoxPairs& pairs(const benchmark::State& state) {
    static const BoxPairs few(FEW_PAIRS);
    static const BoxPairs many(MANY_PAIRS);
    return static_cast<std::size_t>(state.range(0)) == FEW_PAIRS ? few : many;
}

void BM_CollideWithBox(benchmark::State& state) {
    const BoxPairs& boxes = pairs(state);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            boxes.colliders[2 * i]->collideWithBox(boxes.colliders[2 * i + 1]));
        i = (i + 1) & (boxes.count - 1);
    }
    state.SetLabel(boxes.label());
}
BENCHMARK(BM_CollideWithBox)->ArgName("pairs")->Arg(FEW_PAIRS)->Arg(MANY_PAIRS);

void BM_LeanReference(benchmark::State& state) {
    const BoxPairs& boxes = pairs(state);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(leanTouches(boxes.lean[2 * i], boxes.lean[2 * i + 1]));
        i = (i + 1) & (boxes.count - 1);
    }
    state.SetLabel(boxes.label());
}
BENCHMARK(BM_LeanReference)->ArgName("pairs")->Arg(FEW_PAIRS)->Arg(MANY_PAIRS);

// The engine's own fifteen-axis test on geometry read beforehand.
void BM_OrientedBoxTouches(benchmark::State& state) {
    const BoxPairs& boxes = pairs(state);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(boxes.geometry[2 * i].touches(boxes.geometry[2 * i + 1]));
        i = (i + 1) & (boxes.count - 1);
    }
    state.SetLabel(boxes.label());
}
BENCHMARK(BM_OrientedBoxTouches)->ArgName("pairs")->Arg(FEW_PAIRS)->Arg(MANY_PAIRS);

// Reading one box from its corners: what a box test would pay twice without a cache.
void BM_ReadBoxFromCorners(benchmark::State& state) {
    const BoxPairs& boxes = pairs(state);
    std::size_t i = 0;
    OrientedBox read;
    for (auto _ : state) {
        OrientedBox::fromCorners(boxes.colliders[i]->componentTransform->points, read);
        benchmark::DoNotOptimize(read);
        i = (i + 1) & (2 * boxes.count - 1);
    }
}
BENCHMARK(BM_ReadBoxFromCorners)->ArgName("pairs")->Arg(FEW_PAIRS)->Arg(MANY_PAIRS);

// One iteration is all pairs through collideWithBox, then all pairs through the reference,
// each pass timed on this thread's CPU clock. Reports ns per call of each and their ratio.
void BM_CollideWithBoxOverReference(benchmark::State& state) {
    const BoxPairs& boxes = pairs(state);
    double collideSeconds = 0.0;
    double referenceSeconds = 0.0;
    for (auto _ : state) {
        std::size_t touching = 0;
        const double start = threadSeconds();
        for (std::size_t i = 0; i < boxes.count; ++i) {
            touching += boxes.colliders[2 * i]->collideWithBox(boxes.colliders[2 * i + 1]);
        }
        const double middle = threadSeconds();
        for (std::size_t i = 0; i < boxes.count; ++i) {
            touching += leanTouches(boxes.lean[2 * i], boxes.lean[2 * i + 1]);
        }
        const double end = threadSeconds();
        benchmark::DoNotOptimize(touching);
        collideSeconds += middle - start;
        referenceSeconds += end - middle;
    }
    const double calls = static_cast<double>(state.iterations() * boxes.count);
    state.counters["collide_ns"] = 1e9 * collideSeconds / calls;
    state.counters["reference_ns"] = 1e9 * referenceSeconds / calls;
    state.counters["ratio"] = referenceSeconds > 0.0 ? collideSeconds / referenceSeconds : 0.0;
    state.SetLabel(boxes.label());
}
BENCHMARK(BM_CollideWithBoxOverReference)->ArgName("pairs")->Arg(FEW_PAIRS)->Arg(MANY_PAIRS);

}  // namespace
