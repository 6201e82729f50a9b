#pragma once

#include <cstddef>
#include <memory>
#include <vector>

class BroadPhase;
class GameObject;

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

    bool running = true;
    std::vector<std::unique_ptr<GameObject>> objects;

  private:
    static World* instance;

    std::unique_ptr<BroadPhase> broadPhase;
    // How many of `objects`, from the front, the broad phase has taken in.
    std::size_t objectsInBroadPhase = 0;
};
