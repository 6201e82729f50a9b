#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class CandidateSource;
class GameObject;
class WorldStage;

// Owns every object of the running program, in the order they were added, and drives them:
// one update per timer tick, one draw per display.
//
// A running step first offers every object every other object as a collision candidate (all
// ordered pairs), then updates the objects in insertion order. A paused step updates only the
// first object, which is how the overlay's pause key can resume the world.
//
// With a candidate source (a broad phase, see CandidateSource), a running step offers an
// object with colliders only the objects its colliders could touch, decided when its colliders
// test; every visible result stays that of the all-pairs step, at a cost that grows with the
// objects and their contacts instead of with the square of the objects.
//
// A stage (setStage), when there is one, runs before the running step's object updates and
// again after them: the contact stage of rigid bodies works there.
//
// Objects leave only through removeObject(), never by erasing them from `objects`: removal
// also unhooks whatever still points at them. A removal asked for while the world is busy (in
// update() or draw(), or while another removal is under way) waits until it is done, so no
// pass ever meets a deleted object and no list changes under a loop that walks it.
class World {
  public:
    /// Created on first use, empty and running.
    static World* getInstance();
    /// Deletes the world and everything it owns; the next getInstance() starts afresh.
    static void destroyInstance();

    World();
    /// Deletes the objects in insertion order, each taken out of `objects` first. Removals
    /// asked for meanwhile (by a destructor) have nothing left to do: every object goes.
    ~World();

    World(const World&) = delete;
    World& operator=(const World&) = delete;

    /// Takes ownership. A null object or one already held is ignored (it would be updated
    /// twice per step and deleted twice).
    void addObject(GameObject* object);
    /// One step, running or paused as described above.
    void update(int elapsedMs);
    /// Draws every object in insertion order; each skips itself while hidden.
    void draw(int elapsedMs);
    /// Stops drawing the first object; it keeps updating.
    void hideFirstObject();

    /// Takes a candidate source (a broad phase, say), replacing the one held; null goes back to
    /// all pairs. Asked for during update() or draw(), it takes effect when that pass is over,
    /// so the rest of the step keeps the candidates it began with. Objects already in the world
    /// join the new source at the next running step.
    void setCandidateSource(std::unique_ptr<CandidateSource> source);
    /// The source in use, or null for all pairs.
    CandidateSource* getCandidateSource() const { return candidateSource.get(); }
    /// Appends to `out` the candidates of `receiver` as the geometry stands now, in insertion
    /// order: its source's (CandidateSource::collectCandidates), or without one every other
    /// object with a collider. For stages that run after the objects' updates. Either way
    /// only the objects that were in the world when the last running step began take part:
    /// one added since has no candidates and is nobody's until the next step.
    void collectCandidates(const GameObject& receiver, std::vector<GameObject*>& out);

    /// Takes the stage that runs around the objects' updates of every running step (see
    /// WorldStage), replacing and deleting the one held; null removes it. Asked for while the
    /// world is busy, it takes effect when the world is done, so no stage is deleted while it
    /// runs.
    void setStage(std::unique_ptr<WorldStage> stage);
    WorldStage* getStage() const { return stage.get(); }

    /// Takes the object out of the world and deletes it with everything it owns. Every other
    /// object forgets it first (GameObject::forgetObject): springs fastened to it let go of
    /// both their ends, candidate lists drop it, and so does the candidate source. While the
    /// world is busy (see above) the removal waits, and the object finishes the pass it is in.
    /// False for an object the world does not hold (null included); asking twice removes it
    /// once. A waiting removal names its object by address and id (GameObject::getId), so a
    /// new object that happens to be built where a deleted one lived is never taken for it.
    bool removeObject(GameObject* object);

    using Objects = std::vector<std::unique_ptr<GameObject>>;

    bool running = true;
    Objects objects;

  private:
    static World* instance;

    // Marks the world busy for as long as it lives; the last one out does what waited.
    class Busy {
      public:
        explicit Busy(World& world) : world(world) { ++world.busyDepth; }
        ~Busy();
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

      private:
        World& world;
    };

    struct PendingRemoval {
        GameObject* object;
        std::uint64_t id;
    };

    Objects::iterator find(const GameObject* object);
    void allPairsStep(int elapsedMs);
    void sourceStep(int elapsedMs);
    /// The objects' updates of a running step, with the stage around them.
    void updateObjects(int elapsedMs);
    void replaceSource(std::unique_ptr<CandidateSource> source);
    /// Removes and deletes at once; the object is known to be held.
    void removeNow(GameObject* object);
    /// Done once the world is no longer busy: waiting removals, then a waiting source or stage
    /// change.
    void settle();

    // Above 0 while a pass walks `objects` or a removal is under way.
    int busyDepth = 0;
    std::vector<PendingRemoval> pendingRemovals;

    std::unique_ptr<CandidateSource> candidateSource;
    // A source asked for while the world was busy; `sourceWaiting` even when it is null.
    std::unique_ptr<CandidateSource> waitingSource;
    bool sourceWaiting = false;
    // How many of `objects`, from the front, the running steps have taken in: those the
    // source holds, or without one those that are candidates.
    std::size_t objectsTakenIn = 0;
    std::unique_ptr<WorldStage> stage;
    // A stage asked for while the world was busy; `stageWaiting` even when it is null.
    std::unique_ptr<WorldStage> waitingStage;
    bool stageWaiting = false;
};
