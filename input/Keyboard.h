#pragma once

#include <array>
#include <cstdint>

// One slot per key the engine listens to, in QWERTY row order.
// clang-format off
enum KeySlot : int {
    KEY_Q, KEY_W, KEY_E, KEY_R, KEY_T, KEY_Y, KEY_U, KEY_I, KEY_O, KEY_P,
    KEY_A, KEY_S, KEY_D, KEY_F, KEY_G, KEY_H, KEY_J, KEY_K, KEY_L,
    KEY_Z, KEY_X, KEY_C, KEY_V, KEY_B, KEY_N, KEY_M,
    KEY_COMMA, KEY_PERIOD,
    KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9, KEY_0,
    KEY_MINUS, KEY_EQUALS, KEY_SEMICOLON, KEY_SLASH,
    KEY_ESCAPE, KEY_SPACE,
    KEY_SLOT_COUNT
};
// clang-format on

// Which keys are held down right now. The GLUT key callbacks write it; the frame loop, the
// camera and the controllers poll it during their update. Input is polled, not queued: a
// reader only sees whether a key is down when it asks, except that a program reading it once
// per tick can have taps latched (latchTaps), so that a tap between two ticks is not lost.
class Keyboard {
  public:
    static Keyboard* getInstance();
    /// Frees the instance; the next getInstance() starts a fresh table with every key up.
    static void destroyInstance();

    /// Records a press; codes without a slot are ignored, x and y (pointer) too.
    void keyDown(unsigned char key, int x, int y);
    /// Records a release. A shifted character (upper-case letter, or a US keyboard's symbol
    /// above a digit or punctuation key) releases its unshifted key's slot, so a key let go
    /// while Shift is held never stays stuck down.
    void keyUp(unsigned char key, int x, int y);
    /// True while the key of that slot is down, or while its tap is latched; false for any
    /// value outside the slots.
    bool isKeyDown(int slot) const;

    /// From now on a key pressed since the last endTick() and released before the next one
    /// still reads as down until that next endTick(): a tap shorter than a tick is seen by
    /// exactly one tick. A key held across an endTick() is released at once, as without it.
    void latchTaps();
    /// Marks the end of a tick: latched taps read as up from now on.
    void endTick();

    /// The slot of a key code, or -1 when the code has none.
    static int slotOf(unsigned char key);

  private:
    Keyboard() = default;

    std::array<std::uint8_t, KEY_SLOT_COUNT> keys{};
    bool latching = false;
    static Keyboard* instance;
};
