#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "collision/ObjectRecords.h"
#include "collision/OrientedBox.h"

class BoxCollider;
class GameObject;

// The box tests of a plain box (an object whose only collider is a BoxCollider of that very
// class), run on contiguous copies of the boxes: per candidate, its record and its box,
// instead of the candidate object, its collider list, the collider, its geometry and its box,
// five blocks apart on the heap. A plain candidate gets the very test collideWithBox() runs,
// on a copy of the very box it reads; any other candidate gets the collider's own collide()
// calls.
//
// The answer of a box's tests depends on nothing but the boxes and colliders involved, so it
// is kept with the generation it was found at, and stands while neither the box, its
// candidates nor their colliders have changed since (ObjectRecords::changedAt).
class BoxBatch {
  public:
    /// Room for one more slot, with no box and no answer.
    void append();
    /// The box of a plain box's slot, copied whenever its geometry changed.
    void keep(std::uint32_t slot, const OrientedBox& box) { boxes[slot].box = box; }
    /// The slot's candidates changed: its answer is no answer for the new ones.
    void forgetAnswer(std::uint32_t slot) { answers[slot].at = 0; }

    /// Runs the tests of `tester`, the collider of the plain box in `slot`, against the slots
    /// of `candidates`, and adds them into `tests` and `contact` exactly as its collide() calls
    /// would; keeps the answer as found at `generation`.
    void test(std::uint32_t slot, const std::vector<std::uint32_t>& candidates,
              const ObjectRecords& records, std::uint64_t generation, BoxCollider& tester,
              int& tests, bool& contact);

    /// Whether every plain box's copy is its collider's box as it is now (those whose
    /// geometry changed since they were read excepted); what is wrong, or an empty string.
    std::string validate(const ObjectRecords& records) const;

  private:
    struct alignas(64) KeptBox {
        OrientedBox box;
    };
    // What test() last found for a slot, and the generation it was found at (0: none).
    struct Answer {
        std::uint64_t at = 0;
        int tests = 0;
        bool contact = false;
    };

    static bool sameBox(const OrientedBox& a, const OrientedBox& b);
    static const OrientedBox* currentBox(GameObject& object);

    std::vector<KeptBox> boxes;
    std::vector<Answer> answers;
};
