#pragma once

#include <functional>
#include <utility>

#include "core/Component.h"
#include "core/GameObject.h"

// A component that runs the test's own code on its object at each update, and at each draw
// when given some: the small behaviours a test gives an object (steer it, count what it is
// offered, act once at a given step, stop the run) without a class for each.
class Scripted : public Component {
  public:
    using Action = std::function<void(GameObject&)>;

    explicit Scripted(Action onUpdate, Action onDraw = {})
        : Component(static_cast<bool>(onUpdate), static_cast<bool>(onDraw)),
          onUpdate(std::move(onUpdate)),
          onDraw(std::move(onDraw)) {}

    void update(int /*elapsedMs*/) override {
        if (updateEnabled && onUpdate) {
            onUpdate(*owner);
        }
    }
    void draw(int /*elapsedMs*/) override {
        if (drawEnabled && onDraw) {
            onDraw(*owner);
        }
    }

  private:
    Action onUpdate;
    Action onDraw;
};

/// Runs `act` once, at the `at`-th update of its object (the first is 1).
inline Scripted* atUpdate(int at, std::function<void(GameObject&)> act) {
    return new Scripted([at, act = std::move(act), updates = 0](GameObject& object) mutable {
        if (++updates == at) {
            act(object);
        }
    });
}
