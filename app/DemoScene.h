#pragma once

class BoxCollider;
class Bezier;
class Cube;
class GameObject;
class Gui;
class Mount;
class Physics;
class PlayerKeyboardControls;
class Spring;
class World;

/// One box of the spring scene and the parts of it that show and collide.
struct SpringBox {
    GameObject* object = nullptr;
    Cube* cube = nullptr;
    BoxCollider* collider = nullptr;
    /// Where the spring is fastened: point 1 of its geometry.
    Mount* mount = nullptr;
};

/// The demonstration's objects by name. The World they were added to owns them all; the
/// handles are valid until it is destroyed.
struct DemoScene {
    /// Help and status text; the first object of the world, so the pause key works.
    Gui* overlay = nullptr;
    /// Scene 3: four cubes on the corners of a square of side 3, hidden at start.
    GameObject* shearGroup = nullptr;
    Cube* shearCubes[4] = {};
    /// Scene 2: the Bezier surface, hidden at start.
    GameObject* bezierObject = nullptr;
    Bezier* bezier = nullptr;
    /// Scene 1: the box the player steers, joined by a spring to a box that falls and swings.
    SpringBox leftBox;
    PlayerKeyboardControls* player = nullptr;
    SpringBox rightBox;
    Physics* fallingBody = nullptr;
    Spring* spring = nullptr;
    /// Always shown, at the origin.
    GameObject* originCube = nullptr;
};

/// Creates every object of the demonstration and hands it to `world`, in the order the
/// scene relies on: overlay, shear group, Bezier object, left box, right box, spring, origin
/// cube.
DemoScene buildScene(World& world);
/// The same into the World singleton, as the frame loop does at start-up.
DemoScene buildScene();
