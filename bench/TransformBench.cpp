// Cost of moving an object whose component carries a cube-sized point list (centre + 36).

#include <benchmark/benchmark.h>

#include "core/Component.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "math/ComponentTransform.h"

namespace {

class CubeSizedGeometry : public Component {
  public:
    CubeSizedGeometry() : Component(true, true) {
        componentTransform = std::make_unique<ComponentTransform>(this);
        for (int i = 0; i < 36; ++i) {
            const float x = (i & 1) ? 1.0f : -1.0f;
            const float y = (i & 2) ? 1.0f : -1.0f;
            const float z = (i & 4) ? 1.0f : -1.0f;
            componentTransform->addPoint(Point(x, y, z, Color(1, 0, 0, 1)));
        }
    }
};

void BM_TransformTranslate(benchmark::State& state) {
    GameObject object(true, true, Point());
    object.addComponent(new CubeSizedGeometry());
    float direction = 1.0f;
    for (auto _ : state) {
        object.transform->translate(0.1f * direction, 0.0f, 0.0f);
        direction = -direction;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TransformTranslate);

void BM_TransformRotate(benchmark::State& state) {
    GameObject object(true, true, Point());
    object.addComponent(new CubeSizedGeometry());
    for (auto _ : state) {
        object.transform->rotate(0.0f, 0.1f, 0.0f);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TransformRotate);

void BM_TransformRotateQuaternion(benchmark::State& state) {
    GameObject object(true, true, Point());
    object.addComponent(new CubeSizedGeometry());
    for (auto _ : state) {
        object.transform->rotateQuaternion(0.0f, 5.0f, 0.0f);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TransformRotateQuaternion);

}  // namespace
