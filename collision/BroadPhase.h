#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "collision/BoxBatch.h"
#include "collision/ObjectRecords.h"
#include "collision/OverlapIndex.h"
#include "core/CandidateSource.h"

class BoxCollider;
class GameObject;

// A candidate source that offers an object with colliders, as collision candidates, only the
// other objects with colliders whose bounds overlap its own, in insertion order: the all-pairs
// candidates minus those its colliders could not touch. A World takes one with
//     world.setCandidateSource(std::make_unique<BroadPhase>());
//
// Candidates are decided when a collider asks for them, from the geometry as it is at that
// moment, so objects that moved earlier in the step (or the asking object itself, by its
// own physics or controller) are seen where they are. An object's bounds are the union of
// its colliders' bounds (Collider::bounds); a collider that cannot tell them is offered to
// every object and offered every object, as in the all-pairs step.
//
// Its parts work on the same slots, one per object in insertion order: the records of what
// each object is (ObjectRecords), the spatial index that finds overlapping bounds
// (OverlapIndex), and the batch that runs plain boxes' tests on copies (BoxBatch). An
// object's candidates are kept while no bounds change anywhere (`generation`), so a still
// world finds every list made.
class BroadPhase final : public CandidateSource {
  public:
    BroadPhase() = default;
    /// Lets go of every object still held; they go back to the all-pairs candidates.
    ~BroadPhase() override;

    /// The broad phase holding `object`, or null (held by another kind of source, or none).
    static BroadPhase* of(const GameObject& object);

    /// An object already held by a source is left where it is.
    void add(GameObject& object) override;
    void remove(GameObject& object) override;
    void beginStep() override;
    void endStep() override;
    void offerCandidates(GameObject& receiver) override;
    void collectCandidates(const GameObject& receiver, std::vector<GameObject*>& out) override;
    void geometryChanged(GameObject& object) override;
    void colliderAttached(GameObject& object) override;

    /// Runs the box tests of `tester`, the receiver's only collider and a plain box, against
    /// the candidates just offered, and counts them into `tests` and `contact` (both still 0
    /// and false) exactly as its collide() calls would. False, having tested nothing, when it
    /// cannot; the collider then tests its candidates itself.
    bool testBoxes(GameObject& receiver, BoxCollider& tester, int& tests, bool& contact);
    /// Whether, in this step, the receiver was offered fewer objects than all pairs would
    /// offer it (its bounds are known) and tests them as offered, while another object
    /// carries a box collider: a box of the receiver that found no box among its candidates
    /// then had boxes left out, all apart from it, which the all-pairs step would have tested.
    bool leftOutBoxes(const GameObject& receiver) const;

    /// Whether the parts agree with one another and with the objects: the tree sound, every
    /// leaf holding its object's bounds, partner and unbounded lists as the records say, the
    /// records as the colliders are (those marked for re-reading excepted), kept boxes as
    /// their colliders' boxes. What is wrong, or an empty string. For tests: it visits every
    /// object and collider.
    std::string validate() const;

  private:
    bool holds(const GameObject& object) const;
    /// Offered candidates in the step under way.
    bool offeredThisStep(std::uint32_t slot) const;
    /// Offered its current candidates in this step, and its object's list still holds them.
    bool candidatesAsOffered(std::uint32_t slot, const GameObject& receiver) const;
    void refreshDirty();
    /// The slot's kept candidates, found again if any bounds changed since they were found.
    const std::vector<std::uint32_t>& candidatesOf(std::uint32_t slot);
    /// Finds the slot's candidates into `found`.
    void find(std::uint32_t slot);
    void collectAll(std::uint32_t slot);

    ObjectRecords records;
    OverlapIndex index;
    BoxBatch boxes;
    std::vector<std::uint32_t> gainingCollider;  // to receive candidates from the next step
    std::vector<std::uint32_t> found;            // scratch for one query

    // The slot whose object's candidate list the latest offerCandidates() call filled, which
    // no code can have touched before that object's plain box tests it; NONE after any other
    // call that may leave a list unlike its kept candidates.
    static constexpr std::uint32_t NONE = ~0u;
    std::uint32_t justFilled = NONE;

    bool inStep = false;
    std::uint32_t step = 0;
    // Grows with every change of any bounds: an object's candidates found at the current
    // generation are current.
    std::uint64_t generation = 1;
};
