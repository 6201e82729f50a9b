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
#include "physics/RigidBody.h"

namespace sceneprobe {
namespace {

void add(std::vector<float>& out, const Point& p) {
    out.insert(out.end(), {p.x, p.y, p.z, p.color.r, p.color.g, p.color.b, p.color.a});
}

void add(std::vector<float>& out, bool flag) {
    out.push_back(flag ? 1.0f : 0.0f);
}

void add(std::vector<float>& out, const Component& component) {
    add(out, component.updateEnabled);
    add(out, component.drawEnabled);
    if (const auto* controller = dynamic_cast<const SwitchingController*>(&component)) {
        add(out, controller->armed);
    }
    if (const auto* player = dynamic_cast<const PlayerKeyboardControls*>(&component)) {
        add(out, player->quaternionMode);
    }
    if (const auto* physics = dynamic_cast<const Physics*>(&component)) {
        out.insert(out.end(), {physics->velocity.x, physics->velocity.y, physics->velocity.z,
                               physics->force.x, physics->force.y, physics->force.z});
    }
    if (const auto* body = dynamic_cast<const RigidBody*>(&component)) {
        const _Tarn::Vector3 v = body->getVelocity();
        const _Tarn::Vector3 w = body->getAngularVelocity();
        out.insert(out.end(), {v.x, v.y, v.z, w.x, w.y, w.z, body->isAsleep() ? 1.0f : 0.0f});
    }
    if (const ComponentTransform* geometry = component.componentTransform.get()) {
        add(out, geometry->position);
        add(out, geometry->offset);
        for (const Point& p : geometry->points) {
            add(out, p);
        }
    }
}

bool finite(const Point& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

}  // namespace

std::vector<float> snapshot(const World& world) {
    std::vector<float> out;
    add(out, world.running);
    for (const auto& object : world.objects) {
        add(out, object->updateEnabled);
        add(out, object->drawEnabled);
        if (const auto* gui = dynamic_cast<const Gui*>(object.get())) {
            add(out, gui->paused);
        }
        if (object->transform) {
            add(out, object->transform->position);
            add(out, object->transform->pivot);
        }
        for (const auto& component : object->components) {
            add(out, *component);
        }
    }
    return out;
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
