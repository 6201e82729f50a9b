// Cost of moving an object that carries a cube, a box collider and a mount: each operation
// builds its matrices (or quaternions) and applies every one of them to all three components'
// points and to the position.

#include <benchmark/benchmark.h>

#include "collision/BoxCollider.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "physics/Mount.h"
#include "shapes/Cube.h"
#include "support/alloc/AllocationCounter.h"

namespace {

const Point ORIGIN(0.0f, 0.0f, 0.0f, Color(1.0f, 0.0f, 0.0f, 1.0f));

struct MountedBox {
    MountedBox() : object(true, true, ORIGIN) {
        object.addComponent(new Cube(true, true, ORIGIN, Color(0, 0, 1, 1), true));
        object.addComponent(new BoxCollider(true, true, true, ORIGIN));
        object.addComponent(new Mount(true, true, 1.0f));
    }
    GameObject object;
};

void reportAllocations(benchmark::State& state, const AllocationCounter& counter) {
    state.counters["allocs_per_call"] = benchmark::Counter(static_cast<double>(counter.count()),
                                                           benchmark::Counter::kAvgIterations);
}

void BM_TransformTranslate(benchmark::State& state) {
    MountedBox box;
    Transform& transform = *box.object.transform;
    transform.translate(0.1f, 0.0f, 0.0f);
    const AllocationCounter counter;
    float direction = 1.0f;
    for (auto _ : state) {
        transform.translate(0.1f * direction, 0.0f, 0.0f);
        direction = -direction;
        benchmark::ClobberMemory();
    }
    reportAllocations(state, counter);
}
BENCHMARK(BM_TransformTranslate);

void BM_TransformRotate(benchmark::State& state) {
    MountedBox box;
    Transform& transform = *box.object.transform;
    transform.rotate(0.0f, 0.1f, 0.0f);
    const AllocationCounter counter;
    for (auto _ : state) {
        transform.rotate(0.0f, 0.1f, 0.0f);
        benchmark::ClobberMemory();
    }
    reportAllocations(state, counter);
}
BENCHMARK(BM_TransformRotate);

void BM_TransformRotateQuaternion(benchmark::State& state) {
    MountedBox box;
    Transform& transform = *box.object.transform;
    transform.rotateQuaternion(0.0f, 5.0f, 0.0f);
    const AllocationCounter counter;
    for (auto _ : state) {
        transform.rotateQuaternion(0.0f, 5.0f, 0.0f);
        benchmark::ClobberMemory();
    }
    reportAllocations(state, counter);
}
BENCHMARK(BM_TransformRotateQuaternion);

}  // namespace
