// The keyboard as a program reads it once per tick, with taps latched: a key pressed and let
// go between two ticks still reaches exactly one of them.

#include <gtest/gtest.h>

#include "input/Keyboard.h"

namespace {

class KeyboardTapTest : public ::testing::Test {
  protected:
    void SetUp() override { keyboard->latchTaps(); }
    void TearDown() override { Keyboard::destroyInstance(); }

    // What one tick sees of the slot; then the tick ends.
    bool tickSees(int slot) {
        const bool down = keyboard->isKeyDown(slot);
        keyboard->endTick();
        return down;
    }
    void tap(unsigned char pressed, unsigned char released) {
        keyboard->keyDown(pressed, 0, 0);
        keyboard->keyUp(released, 0, 0);
    }

    Keyboard* keyboard = Keyboard::getInstance();
};

}  // namespace

TEST_F(KeyboardTapTest, ATapBetweenTwoTicksIsSeenByExactlyOneTick) {
    const struct {
        unsigned char key;
        int slot;
    } taps[] = {{27, KEY_ESCAPE}, {'z', KEY_Z}, {'1', KEY_1}, {'2', KEY_2},
                {'3', KEY_3},     {'9', KEY_9}, {'i', KEY_I}};
    for (const auto& t : taps) {
        SCOPED_TRACE(static_cast<int>(t.key));
        tap(t.key, t.key);
        EXPECT_TRUE(tickSees(t.slot));
        EXPECT_FALSE(tickSees(t.slot));
        for (int slot = 0; slot < KEY_SLOT_COUNT; ++slot) {
            EXPECT_FALSE(keyboard->isKeyDown(slot)) << slot;
        }
    }

    // Two taps between the same two ticks are one press to the reader.
    tap('z', 'z');
    tap('z', 'z');
    EXPECT_TRUE(tickSees(KEY_Z));
    EXPECT_FALSE(tickSees(KEY_Z));

    // Shift went down during the tap, so the release arrives in upper case.
    tap('w', 'W');
    EXPECT_TRUE(tickSees(KEY_W));
    EXPECT_FALSE(tickSees(KEY_W));
}

TEST_F(KeyboardTapTest, AHeldKeyIsSeenByEveryTickAndItsReleaseAfterATickIsImmediate) {
    keyboard->keyDown('w', 0, 0);
    for (int tick = 0; tick < 5; ++tick) {
        EXPECT_TRUE(tickSees(KEY_W)) << tick;
        // Auto-repeat between ticks: a release and a press back to back, or a press alone.
        keyboard->keyUp('w', 0, 0);
        keyboard->keyDown('w', 0, 0);
        keyboard->keyDown('w', 0, 0);
    }
    keyboard->keyUp('w', 0, 0);
    EXPECT_FALSE(keyboard->isKeyDown(KEY_W));
    EXPECT_FALSE(tickSees(KEY_W));

    // Held across one tick, then released: gone before the next tick, as without the latch.
    keyboard->keyDown('e', 0, 0);
    EXPECT_TRUE(tickSees(KEY_E));
    keyboard->keyUp('e', 0, 0);
    EXPECT_FALSE(tickSees(KEY_E));
}
