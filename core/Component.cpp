#include "core/Component.h"

#include "core/ComponentTransform.h"
#include "core/GameObject.h"

Component::Component() = default;

Component::Component(bool updateEnabled, bool drawEnabled)
    : updateEnabled(updateEnabled), drawEnabled(drawEnabled) {}

Component::~Component() = default;

void Component::draw(int /*elapsedMs*/) {}

void Component::update(int elapsedMs) {
    if (updateEnabled && componentTransform) {
        componentTransform->update(elapsedMs);
    }
}

void Component::setOwner(GameObject* object) {
    if (object == nullptr) {
        return;
    }
    owner = object;
    if (componentTransform) {
        componentTransform->setPosition(object->getPosition());
    }
}
