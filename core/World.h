#pragma once

#include <memory>
#include <vector>

class GameObject;

// Owns every object of the running program, in the order they were added, and drives them:
// one update per timer tick, one draw per display.
//
// A running step first offers every object every other object as a collision candidate (all
// ordered pairs), then updates the objects in insertion order. A paused step updates only the
// first object, which is how the overlay's pause key can resume the world.
class World {
  public:
    /// Created on first use, empty and running.
    static World* getInstance();
    /// Deletes the world and everything it owns; the next getInstance() starts afresh.
    static void destroyInstance();

    World() = default;
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

    bool running = true;
    std::vector<std::unique_ptr<GameObject>> objects;

  private:
    static World* instance;
};
