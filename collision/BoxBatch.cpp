#include "collision/BoxBatch.h"

#include <cstring>
#include <string>

#include "collision/BoxCollider.h"
#include "core/Assert.h"
#include "core/GameObject.h"

void BoxBatch::append() {
    boxes.emplace_back();
    answers.emplace_back();
}

void BoxBatch::test(std::uint32_t slot, const std::vector<std::uint32_t>& candidates,
                    const ObjectRecords& records, std::uint64_t generation, BoxCollider& tester,
                    int& tests, bool& contact) {
    ENGINE_ASSERT(records.state(slot).plainBox);
    Answer& answer = answers[slot];
    // No record has changed since the answer was found (every change takes a new generation),
    // or at least none of those it depends on.
    bool unchanged = answer.at == generation;
    if (!unchanged && answer.at != 0) {
        unchanged = records.changedAt(slot) <= answer.at;
        for (std::size_t i = 0; i < candidates.size() && unchanged; ++i) {
            unchanged = records.changedAt(candidates[i]) <= answer.at;
        }
    }
    if (unchanged) {
        tests += answer.tests;
        contact = contact || answer.contact;
        return;
    }
    const OrientedBox& own = boxes[slot].box;
    int plainTests = 0;
    bool plainContact = false;
    for (const std::uint32_t other : candidates) {
        if (records.state(other).plainBox) {
            // Once one box touches, the rest only count: the answer is made.
            ++plainTests;
            const OrientedBox& box = boxes[other].box;
            plainContact = plainContact || (own.mayTouch(box) && own.touches(box));
        } else {
            // Counted by the collider itself, into `tests` and `contact`.
            const auto& colliders = records.objectAt(other)->colliders;
            for (std::size_t c = 0; c < colliders.size(); ++c) {
                tester.collide(colliders[c]);
            }
        }
    }
    tests += plainTests;
    contact = contact || plainContact;
    answer = Answer{generation, tests, contact};
}

std::string BoxBatch::validate(const ObjectRecords& records) const {
    if (boxes.size() != records.size() || answers.size() != records.size()) {
        return "the box batch holds " + std::to_string(boxes.size()) + " boxes and " +
               std::to_string(answers.size()) + " answers for " + std::to_string(records.size()) +
               " slots";
    }
    for (std::uint32_t slot = 0; slot < records.size(); ++slot) {
        GameObject* object = records.objectAt(slot);
        if (object == nullptr || !records.state(slot).plainBox || records.stale(slot)) {
            continue;
        }
        const OrientedBox* box = currentBox(*object);
        if (box == nullptr || !sameBox(*box, boxes[slot].box)) {
            return "slot " + std::to_string(slot) + ": the kept box is not its collider's box";
        }
    }
    return "";
}

bool BoxBatch::sameBox(const OrientedBox& a, const OrientedBox& b) {
    return std::memcmp(&a, &b, sizeof(OrientedBox)) == 0;
}

const OrientedBox* BoxBatch::currentBox(GameObject& object) {
    Component* collider = object.colliders.at(0);
    auto* box = dynamic_cast<BoxCollider*>(collider);
    return box != nullptr ? box->plainBox() : nullptr;
}
