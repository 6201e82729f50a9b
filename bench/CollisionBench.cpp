// Cost of one box-versus-box test. BM_CollideWithBox is the full call, which reads both boxes'
// centre, axes and half-widths from their corners before the fifteen-axis test;
// BM_OrientedBoxTouches runs the same test on geometry read beforehand. Their ratio is the
// price of reading the geometry on every test instead of once per step.

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "collision/BoxCollider.h"
#include "collision/OrientedBox.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "core/World.h"
#include "math/ComponentTransform.h"

namespace {

// A power of two, and more pairs than a branch predictor learns by heart.
constexpr size_t PAIRS = 1024;

// Random boxes, about half of the pairs in contact; a mix of outcomes, so that both the
// early exits and the full fifteen axes are timed.
class BoxPairs {
  public:
    BoxPairs() {
        std::mt19937 random(1234);
        std::uniform_real_distribution<float> offset(-1.8f, 1.8f);
        std::uniform_real_distribution<float> scale(0.3f, 1.5f);
        std::uniform_real_distribution<float> angle(-3.14159f, 3.14159f);
        for (size_t i = 0; i < 2 * PAIRS; ++i) {
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
        }
        for (size_t i = 0; i < PAIRS; ++i) {
            touching += geometry[2 * i].touches(geometry[2 * i + 1]);
        }
    }

    std::string label() const {
        return std::to_string(touching * 100 / PAIRS) + "% of pairs touching";
    }

    std::vector<std::unique_ptr<GameObject>> objects;
    std::vector<BoxCollider*> colliders;
    std::vector<OrientedBox> geometry;
    size_t touching = 0;
};

const BoxPairs& pairs() {
    static const BoxPairs instance;
    return instance;
}

void BM_CollideWithBox(benchmark::State& state) {
    const BoxPairs& boxes = pairs();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            boxes.colliders[2 * i]->collideWithBox(boxes.colliders[2 * i + 1]));
        i = (i + 1) & (PAIRS - 1);
    }
    state.SetLabel(boxes.label());
}
BENCHMARK(BM_CollideWithBox);

void BM_OrientedBoxTouches(benchmark::State& state) {
    const BoxPairs& boxes = pairs();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(boxes.geometry[2 * i].touches(boxes.geometry[2 * i + 1]));
        i = (i + 1) & (PAIRS - 1);
    }
    state.SetLabel(boxes.label());
}
BENCHMARK(BM_OrientedBoxTouches);

// Reading one box: what BM_CollideWithBox pays twice per call on top of the test.
void BM_ReadBoxFromCorners(benchmark::State& state) {
    const BoxPairs& boxes = pairs();
    size_t i = 0;
    OrientedBox read;
    for (auto _ : state) {
        OrientedBox::fromCorners(boxes.colliders[i]->componentTransform->points, read);
        benchmark::DoNotOptimize(read);
        i = (i + 1) & (2 * PAIRS - 1);
    }
}
BENCHMARK(BM_ReadBoxFromCorners);

// One running step of a world of n boxes in a row, neighbours overlapping: n (n - 1) tests.
void BM_WorldStepOfBoxes(benchmark::State& state) {
    World world;
    const int count = static_cast<int>(state.range(0));
    for (int i = 0; i < count; ++i) {
        auto* object = new GameObject(true, true, Point(1.5f * i, 0, 0, Color()));
        object->addComponent(new BoxCollider(true, true, true, Point()));
        world.addObject(object);
    }
    for (auto _ : state) {
        world.update(17);
    }
    state.counters["tests"] = static_cast<double>(count * (count - 1));
}
BENCHMARK(BM_WorldStepOfBoxes)->Arg(2)->Arg(32);

}  // namespace
