// One step of the spring demonstration without its shapes, which must not allocate.

#include <benchmark/benchmark.h>

#include <cstddef>

#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "physics/Mount.h"
#include "physics/Physics.h"
#include "physics/Spring.h"
#include "support/alloc/AllocationCounter.h"

namespace {

const Color RED(1.0f, 0.0f, 0.0f, 1.0f);

Mount* tenthSizedMount() {
    auto* mount = new Mount(true, true, 1.0f);
    mount->componentTransform->scale(0.1f, 0.1f, 0.1f);
    return mount;
}

// The spring demonstration without its shapes: a mounted anchor and, two units to its right,
// a falling body with ten mass points, joined by a spring of stiffness 0.1.
struct SpringPair {
    SpringPair()
        : anchor(true, true, Point(0, 0, 0, RED)),
          body(true, true, Point(0, 0, 0, RED)),
          spring(true, true, 0.1f, 2.0f) {
        Mount* anchorMount = tenthSizedMount();
        anchor.addComponent(anchorMount);
        Mount* bodyMount = tenthSizedMount();
        body.addComponent(bodyMount);
        auto* physics = new Physics(true, true);
        for (int i = 0; i < 10; ++i) {
            const float x = static_cast<float>(i * static_cast<double>(0.1f) * 2.0 - 1.0);
            physics->addMass(Point(x, 0, 0, RED), 1.0f / static_cast<float>(i));
        }
        physics->addConstantForce(_Tarn::Vector3(0.0f, -0.5f, 0.0f));
        body.addComponent(physics);
        body.transform->translate(2.0f, 0.0f, 0.0f);
        spring.connect(anchorMount, bodyMount);
    }

    void step() {
        anchor.update(17);
        body.update(17);
        spring.update(17);
    }

    GameObject anchor;
    GameObject body;
    Spring spring;
};

void BM_SpringPairStep(benchmark::State& state) {
    SpringPair pair;
    pair.step();  // the first step sizes the transforms' queues
    const AllocationCounter counter;
    for (auto _ : state) {
        pair.step();
        benchmark::DoNotOptimize(pair.body.transform->position);
    }
    const std::size_t allocations = counter.count();
    state.counters["allocs_per_step"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
    if (allocations != 0) {
        state.SkipWithError("a steady-state step allocated on the heap");
    }
}
BENCHMARK(BM_SpringPairStep);

}  // namespace
