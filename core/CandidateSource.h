#pragma once

#include <cstdint>
#include <vector>

class CandidateSource;
class GameObject;

/// Where a candidate source keeps an object, stored on the object (GameObject::candidateSlot)
/// so that the source finds its record without a table keyed by address. Written by the source
/// alone: `source` is the source holding the object, null while none does.
struct CandidateSlot {
    CandidateSource* source = nullptr;
    std::uint32_t index = 0;
};

// What a World needs from whatever decides which objects may touch which (a broad phase, in
// collision/). Without one, a World's running step offers every object every other object
// (all ordered pairs); with one (World::setCandidateSource), objects are offered fewer, and
// every visible result stays the same.
//
// The contract, for every source and every caller:
// - Holding. The World hands over its objects with add(), in insertion order, at the start of
//   each running step (objects added since the last step, or appended to World::objects
//   directly, join then). remove() is called from the object's destructor; the object is
//   still whole then. A held object's candidateSlot names the source; nothing else writes it.
// - Candidates. An object's candidates are the other held objects that have a collider, in
//   insertion order: a subsequence of the all-pairs list. Left out are only objects none of
//   whose colliders can touch any of the receiver's, judged from the geometry as it stands at
//   the call. A collider that cannot tell what it can reach (Collider::bounds) reaches
//   everything. So a stage that walks an object's candidates in order and acts only on those
//   that touch does exactly what it does on all pairs, with or without a source.
// - offerCandidates() serves the colliders: between beginStep() and endStep(), it fills the
//   receiver's collisionCandidates, if the receiver had a collider when the step began (as the
//   all-pairs pass offers nothing to the others). Outside a step, and for other objects, it
//   leaves the list alone. Every collider of an object calls it before it tests; the list is
//   filled once per step while no geometry changes, and refilled when some did.
// - collectCandidates() serves any other stage, at any time, in a step or after it (a contact
//   response after the update pass, say): it appends the receiver's candidates to `out`, from
//   the geometry as it stands, whether the receiver had a collider at the step's start or not.
//   It allocates nothing once `out` has room.
// - geometryChanged() is called whenever the points of one of the object's components change
//   (often, many times per step: it must be cheap); colliderAttached() when a collider joins.
// - A source never calls back into the World, adds or deletes objects, or changes geometry.
class CandidateSource {
  public:
    virtual ~CandidateSource() = default;

    CandidateSource() = default;
    CandidateSource(const CandidateSource&) = delete;
    CandidateSource& operator=(const CandidateSource&) = delete;

    virtual void add(GameObject& object) = 0;
    virtual void remove(GameObject& object) = 0;

    /// Bracket the update pass of a running step.
    virtual void beginStep() = 0;
    virtual void endStep() = 0;

    virtual void offerCandidates(GameObject& receiver) = 0;
    virtual void collectCandidates(const GameObject& receiver, std::vector<GameObject*>& out) = 0;

    virtual void geometryChanged(GameObject& object) = 0;
    virtual void colliderAttached(GameObject& object) = 0;
};
