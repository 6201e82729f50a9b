#pragma once

#include <cstddef>
#include <memory>
#include <vector>

class BroadPhase;
class GameObject;
class WorldStage;

// Owns every object of the running program, in the order they were added, and drives them:
// one update per timer tick, one draw per display.
//
// A running step first offers every object every other object as a collision candidate (all
// ordered pairs), then updates the objects in insertion order. A paused step updates only the
// first object, which is how the overlay's pause key can resume the world.
//
// With the broad phase switched on, a running step offers an object with colliders only the
// objects whose colliders' bounds overlap its own, decided when its colliders test; every
// visible result stays that of the all-pairs step, at a cost that grows with the objects
// and their contacts instead of with the square of the objects.
//
// A stage (setStage), when there is one, runs before the running step's object updates and
// again after them: the contact stage of rigid bodies works there.
//
// Objects leave only through removeObject(), never by erasing them from `objects`: removal
// also unhooks whatever still points at them. A removal asked for during update() or draw()
// (by a component, say) waits until that pass is over, so no pass ever meets a deleted object.
class World {
  public:
    /// Created on first use, empty and running.
    static World* getInstance();
    /// Deletes the world and everything it owns; the next getInstance() starts afresh.
    static void destroyInstance();

    World();
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
    /// Switches the broad phase on or off; off by default. Objects already in the world,
    /// and those appended to `objects` later, are taken in at the next running step.
    void setBroadPhase(bool enabled);
    bool hasBroadPhase() const { return broadPhase != nullptr; }
    /// Takes ownership of the stage that runs around the objects' updates of every running
    /// step, replacing (and deleting) the one before; null removes it. A stage replaced while
    /// a step is under way does not finish that step.
    void setStage(std::unique_ptr<WorldStage> stage);
    WorldStage* getStage() const { return stage.get(); }
    /// Takes the object out of the world and deletes it with everything it owns. Every other
    /// object forgets it first (GameObject::forgetObject): springs fastened to it let go of
    /// both their ends, candidate lists drop it, and so does the broad phase. During update()
    /// or draw() the removal happens when that pass ends, and the object finishes the pass.
    /// False for an object the world does not hold (null included); asking twice removes it
    /// once.
    bool removeObject(GameObject* object);

    using Objects = std::vector<std::unique_ptr<GameObject>>;

    bool running = true;
    Objects objects;

  private:
    static World* instance;

    Objects::iterator find(const GameObject* object);
    /// The update pass of a running step, with the stage around it.
    void updateObjects(int elapsedMs);
    /// Removes and deletes at once; the object is known to be held.
    void removeNow(GameObject* object);
    void removePending();

    // Above 0 while update() or draw() walks `objects`.
    int passDepth = 0;
    std::vector<GameObject*> pendingRemovals;

    std::unique_ptr<BroadPhase> broadPhase;
    std::unique_ptr<WorldStage> stage;
    // How many of `objects`, from the front, the broad phase has taken in.
    std::size_t objectsInBroadPhase = 0;
};
