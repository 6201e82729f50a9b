#pragma once

class GameObject;
class World;

// Work of a running step that needs the whole world at once rather than one object at a
// time, such as solving the contacts between bodies (physics/Dynamics.h). The World owns its
// stage and runs it around the objects' updates; a paused step runs no stage.
class WorldStage {
  public:
    WorldStage() = default;
    virtual ~WorldStage() = default;

    WorldStage(const WorldStage&) = delete;
    WorldStage& operator=(const WorldStage&) = delete;

    /// Once per running step, before any object updates.
    virtual void beforeUpdates(World& /*world*/) {}
    /// Once per running step, after every object has updated.
    virtual void afterUpdates(World& world) = 0;
    /// `object` is leaving the world and about to be deleted: drop every pointer to it.
    virtual void objectRemoved(const GameObject& /*object*/) {}
};
