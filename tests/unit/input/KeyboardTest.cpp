#include <gtest/gtest.h>

#include <map>

#include "input/Keyboard.h"

namespace {

class KeyboardTest : public ::testing::Test {
  protected:
    void TearDown() override { Keyboard::destroyInstance(); }
    Keyboard* keyboard = Keyboard::getInstance();
};

const std::map<int, int>& expectedSlots() {
    static const std::map<int, int> slots = {
        {'q', KEY_Q},         {'w', KEY_W},     {'e', KEY_E},     {'r', KEY_R},
        {'t', KEY_T},         {'y', KEY_Y},     {'u', KEY_U},     {'i', KEY_I},
        {'o', KEY_O},         {'p', KEY_P},     {'a', KEY_A},     {'s', KEY_S},
        {'d', KEY_D},         {'f', KEY_F},     {'g', KEY_G},     {'h', KEY_H},
        {'j', KEY_J},         {'k', KEY_K},     {'l', KEY_L},     {'z', KEY_Z},
        {'x', KEY_X},         {'c', KEY_C},     {'v', KEY_V},     {'b', KEY_B},
        {'n', KEY_N},         {'m', KEY_M},     {',', KEY_COMMA}, {'.', KEY_PERIOD},
        {'1', KEY_1},         {'2', KEY_2},     {'3', KEY_3},     {'4', KEY_4},
        {'5', KEY_5},         {'6', KEY_6},     {'7', KEY_7},     {'8', KEY_8},
        {'9', KEY_9},         {'0', KEY_0},     {'-', KEY_MINUS}, {'=', KEY_EQUALS},
        {';', KEY_SEMICOLON}, {'/', KEY_SLASH}, {27, KEY_ESCAPE}, {' ', KEY_SPACE},
    };
    return slots;
}

}  // namespace

TEST_F(KeyboardTest, SlotNumbersFollowTheQwertyRows) {
    EXPECT_EQ(KEY_SLOT_COUNT, 44);
    EXPECT_EQ(KEY_Q, 0);
    EXPECT_EQ(KEY_A, 10);
    EXPECT_EQ(KEY_Z, 19);
    EXPECT_EQ(KEY_COMMA, 26);
    EXPECT_EQ(KEY_1, 28);
    EXPECT_EQ(KEY_0, 37);
    EXPECT_EQ(KEY_ESCAPE, 42);
    EXPECT_EQ(KEY_SPACE, 43);
    EXPECT_EQ(expectedSlots().size(), 44u);
}

TEST_F(KeyboardTest, EveryCodeChangesExactlyItsOwnSlot) {
    for (int code = 0; code < 256; ++code) {
        const auto key = static_cast<unsigned char>(code);
        keyboard->keyDown(key, 17, -3);
        const auto found = expectedSlots().find(code);
        for (int slot = 0; slot < KEY_SLOT_COUNT; ++slot) {
            const bool shouldBeDown = found != expectedSlots().end() && found->second == slot;
            ASSERT_EQ(keyboard->isKeyDown(slot), shouldBeDown) << "code " << code;
        }
        keyboard->keyUp(key, 0, 0);
        for (int slot = 0; slot < KEY_SLOT_COUNT; ++slot) {
            ASSERT_FALSE(keyboard->isKeyDown(slot)) << "code " << code;
        }
    }
}

TEST_F(KeyboardTest, ShiftedReleaseDoesNotLeaveTheKeyStuck) {
    keyboard->keyDown('W', 0, 0);  // an upper-case press changes nothing
    EXPECT_FALSE(keyboard->isKeyDown(KEY_W));

    keyboard->keyDown('w', 0, 0);
    keyboard->keyDown('w', 0, 0);  // auto-repeat
    EXPECT_TRUE(keyboard->isKeyDown(KEY_W));
    keyboard->keyUp('W', 0, 0);  // released while Shift is held
    EXPECT_FALSE(keyboard->isKeyDown(KEY_W));
}

TEST_F(KeyboardTest, QueriesOutsideTheSlotsAreFalseAndTheTableStartsEmpty) {
    for (int slot = -5; slot < KEY_SLOT_COUNT + 5; ++slot) {
        EXPECT_FALSE(keyboard->isKeyDown(slot));
    }
    EXPECT_EQ(Keyboard::getInstance(), keyboard);
}
