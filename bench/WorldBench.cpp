// Whole simulation steps: one World::update(17) of the demonstration scene, and of a field of
// N boxes that each overlap about three others (every ordered pair of boxes is offered and
// looked at: N (N - 1) box tests per step). Both report the heap allocations per step, which
// must be zero once the first steps have sized every list.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <vector>

#include "app/DemoScene.h"
#include "collision/OrientedBox.h"
#include "core/Component.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/World.h"
#include "input/Keyboard.h"
#include "support/alloc/AllocationCounter.h"
#include "support/world/BoxField.h"

namespace {

constexpr int WARM_UP_STEPS = 3;

void reportAllocations(benchmark::State& state, std::size_t allocations) {
    state.counters["allocs_per_step"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

void BM_DemoStep(benchmark::State& state) {
    buildScene();
    World& world = *World::getInstance();
    Keyboard::getInstance();
    for (int i = 0; i < WARM_UP_STEPS; ++i) {
        world.update(17);
    }
    const AllocationCounter counter;
    for (auto _ : state) {
        world.update(17);
    }
    reportAllocations(state, counter.count());
    World::destroyInstance();
    Keyboard::destroyInstance();
}
BENCHMARK(BM_DemoStep);

// Unordered pairs of boxes in contact, by the full test on geometry read from the corners:
// the same field must give the same count on every machine and in every version.
std::size_t touchingPairs(const World& world) {
    std::vector<OrientedBox> boxes;
    for (const auto& object : world.objects) {
        for (const Component* collider : object->colliders) {
            OrientedBox box;
            if (OrientedBox::fromCorners(collider->componentTransform->points, box)) {
                boxes.push_back(box);
            }
        }
    }
    std::size_t touching = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        for (std::size_t j = i + 1; j < boxes.size(); ++j) {
            touching += boxes[i].touches(boxes[j]);
        }
    }
    return touching;
}

void BM_BoxFieldStep(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    World world;
    buildBoxField(world, count);
    for (int i = 0; i < WARM_UP_STEPS; ++i) {
        world.update(17);
    }
    const AllocationCounter counter;
    for (auto _ : state) {
        world.update(17);
    }
    reportAllocations(state, counter.count());
    state.counters["touching_pairs"] = static_cast<double>(touchingPairs(world));
    state.counters["box_tests"] = static_cast<double>(count) * (count - 1);
}
BENCHMARK(BM_BoxFieldStep)->Unit(benchmark::kMillisecond)->Arg(10)->Arg(100)->Arg(1000);

}  // namespace
