#include "SceneProbe.h"

#include <cmath>
#include <cstring>

#include "core/Component.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "core/World.h"
#include "input/Gui.h"
#include "input/PlayerKeyboardControls.h"
#include "input/SwitchingController.h"
#include "physics/Physics.h"

namespace sceneprobe {
namespace {

// Walks a world and appends its numbers to `values`; with `labels`, also what each one is
// ("object 3 component 1 (BOXCOLLIDER) point 2 colour g"), built only when asked for.
class Walk {
  public:
    Walk(std::vector<float>& values, std::vector<std::string>* labels)
        : values(values), labels(labels) {}

    void value(float v, const char* field) {
        values.push_back(v);
        if (labels != nullptr) {
            labels->push_back(where + field);
        }
    }
    void flag(bool f, const char* field) { value(f ? 1.0f : 0.0f, field); }
    void point(const Point& p, const char* field, int index = -1) {
        const std::string name =
            labels == nullptr ? "" : field + (index < 0 ? "" : " " + std::to_string(index));
        const float numbers[] = {p.x, p.y, p.z, p.color.r, p.color.g, p.color.b, p.color.a};
        const char* const parts[] = {" x",        " y",        " z",       " colour r",
                                     " colour g", " colour b", " colour a"};
        for (int k = 0; k < 7; ++k) {
            values.push_back(numbers[k]);
            if (labels != nullptr) {
                labels->push_back(where + name + parts[k]);
            }
        }
    }
    void at(const std::string& place) {
        if (labels != nullptr) {
            where = place + " ";
        }
    }
    bool labelled() const { return labels != nullptr; }

  private:
    std::vector<float>& values;
    std::vector<std::string>* labels;
    std::string where;
};

void walkComponent(Walk& walk, const Component& component) {
    walk.flag(component.updateEnabled, "updateEnabled");
    walk.flag(component.drawEnabled, "drawEnabled");
    if (const auto* controller = dynamic_cast<const SwitchingController*>(&component)) {
        walk.flag(controller->armed, "armed");
    }
    if (const auto* player = dynamic_cast<const PlayerKeyboardControls*>(&component)) {
        walk.flag(player->quaternionMode, "quaternionMode");
    }
    if (const auto* physics = dynamic_cast<const Physics*>(&component)) {
        walk.value(physics->velocity.x, "velocity x");
        walk.value(physics->velocity.y, "velocity y");
        walk.value(physics->velocity.z, "velocity z");
        walk.value(physics->force.x, "force x");
        walk.value(physics->force.y, "force y");
        walk.value(physics->force.z, "force z");
    }
    if (const ComponentTransform* geometry = component.componentTransform.get()) {
        walk.point(geometry->position, "position");
        walk.point(geometry->offset, "offset");
        for (std::size_t i = 0; i < geometry->points.size(); ++i) {
            walk.point(geometry->points[i], "point", static_cast<int>(i));
        }
    }
}

void walkWorld(Walk& walk, const World& world) {
    walk.flag(world.running, "running");
    for (std::size_t i = 0; i < world.objects.size(); ++i) {
        const GameObject& object = *world.objects[i];
        walk.at("object " + std::to_string(i));
        walk.flag(object.updateEnabled, "updateEnabled");
        walk.flag(object.drawEnabled, "drawEnabled");
        if (const auto* gui = dynamic_cast<const Gui*>(&object)) {
            walk.flag(gui->paused, "paused");
        }
        if (object.transform) {
            walk.point(object.transform->position, "position");
            walk.point(object.transform->pivot, "pivot");
        }
        for (std::size_t c = 0; c < object.components.size(); ++c) {
            const Component& component = *object.components[c];
            if (walk.labelled()) {
                walk.at("object " + std::to_string(i) + " component " + std::to_string(c) + " (" +
                        component.getTypeTag() + ")");
            }
            walkComponent(walk, component);
        }
    }
}

bool sameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof(float)) == 0;
}

bool finite(const Point& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

}  // namespace

std::vector<float> snapshot(const World& world) {
    std::vector<float> out;
    Walk walk(out, nullptr);
    walkWorld(walk, world);
    return out;
}

std::string firstDifference(const World& expected, const World& seen) {
    const std::vector<float> a = snapshot(expected);
    const std::vector<float> b = snapshot(seen);
    if (identical(a, b)) {
        return {};
    }
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && sameBits(a[i], b[i])) {
        ++i;
    }
    std::vector<float> values;
    std::vector<std::string> labels;
    Walk walk(values, &labels);
    walkWorld(walk, i < a.size() ? expected : seen);
    if (i >= a.size() || i >= b.size()) {
        return labels[i] + ": held by one world only";
    }
    return labels[i] + ": " + std::to_string(a[i]) + " expected, " + std::to_string(b[i]) + " seen";
}

bool identical(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

std::string firstNonFinite(const World& world) {
    // Builds no string unless something is wrong: the long runs call this every step and
    // count allocations meanwhile.
    for (size_t i = 0; i < world.objects.size(); ++i) {
        const GameObject& object = *world.objects[i];
        if (object.transform &&
            (!finite(object.transform->position) || !finite(object.transform->pivot))) {
            return "object " + std::to_string(i) + " position";
        }
        for (size_t c = 0; c < object.components.size(); ++c) {
            const ComponentTransform* geometry = object.components[c]->componentTransform.get();
            if (geometry == nullptr) {
                continue;
            }
            const auto where = [&](const std::string& what) {
                return "object " + std::to_string(i) + " component " + std::to_string(c) + " " +
                       what;
            };
            if (!finite(geometry->position) || !finite(geometry->offset)) {
                return where("position");
            }
            for (size_t p = 0; p < geometry->points.size(); ++p) {
                if (!finite(geometry->points[p])) {
                    return where("point " + std::to_string(p));
                }
            }
        }
    }
    return {};
}

}  // namespace sceneprobe
