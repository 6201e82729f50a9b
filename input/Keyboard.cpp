#include "input/Keyboard.h"

#include <cstddef>

Keyboard* Keyboard::instance = nullptr;

namespace {

constexpr unsigned char FIRST_CODE = 27;  // Esc
constexpr unsigned char LAST_CODE = 122;  // z
constexpr signed char NO_SLOT = -1;

// Each slot holds these bits; a key reads as down while DOWN or TAPPED is set. The others
// only live until the current tick ends.
// - PRESSED_THIS_TICK: pressed since the last tick ended; let go before the next, it is TAPPED
//   and still reads as down until that tick ends.
// - RELEASED_AFTER_HOLD: let go after a tick saw it held. X's auto-repeat sends a release and
//   a press back to back; that press is the same hold going on, not a new tap, so the final
//   release of a held key stays immediate.
constexpr std::uint8_t DOWN = 1;
constexpr std::uint8_t PRESSED_THIS_TICK = 2;
constexpr std::uint8_t TAPPED = 4;
constexpr std::uint8_t RELEASED_AFTER_HOLD = 8;

// clang-format off
// Slots of the codes 27 (Esc) to 122 (z); everything else has none.
constexpr signed char SLOT_TABLE[LAST_CODE - FIRST_CODE + 1] = {
    KEY_ESCAPE,                                          // 27 Esc
    NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT,                  // 28-31
    KEY_SPACE,                                           // 32 space
    NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT,         // 33-37
    NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT,         // 38-42
    NO_SLOT,                                             // 43 +
    KEY_COMMA, KEY_MINUS, KEY_PERIOD, KEY_SLASH,         // 44-47 , - . /
    KEY_0, KEY_1, KEY_2, KEY_3, KEY_4,                   // 48-52
    KEY_5, KEY_6, KEY_7, KEY_8, KEY_9,                   // 53-57
    NO_SLOT,                                             // 58 :
    KEY_SEMICOLON,                                       // 59 ;
    NO_SLOT,                                             // 60 <
    KEY_EQUALS,                                          // 61 =
    NO_SLOT, NO_SLOT, NO_SLOT,                           // 62-64 > ? @
    NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT,  // 65-71 A-G
    NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT,  // 72-78 H-N
    NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT,  // 79-85 O-U
    NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT,                    // 86-90 V-Z
    NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT,           // 91-96 [ \ ] ^ _ `
    KEY_A, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G,                // 97-103 a-g
    KEY_H, KEY_I, KEY_J, KEY_K, KEY_L, KEY_M, KEY_N,                // 104-110 h-n
    KEY_O, KEY_P, KEY_Q, KEY_R, KEY_S, KEY_T, KEY_U,                // 111-117 o-u
    KEY_V, KEY_W, KEY_X, KEY_Y, KEY_Z,                              // 118-122 v-z
};
// clang-format on

// A key still held when Shift goes down is released as its shifted character: the upper-case
// letter, or on a US keyboard the symbol above a digit or punctuation key.
constexpr char SHIFTED[] = "!@#$%^&*()<>_+:?";
constexpr char UNSHIFTED[] = "1234567890,.-=;/";

unsigned char unshifted(unsigned char key) {
    if (key >= 'A' && key <= 'Z') {
        return static_cast<unsigned char>(key - 'A' + 'a');
    }
    for (size_t i = 0; SHIFTED[i] != '\0'; ++i) {
        if (static_cast<unsigned char>(SHIFTED[i]) == key) {
            return static_cast<unsigned char>(UNSHIFTED[i]);
        }
    }
    return key;
}

}  // namespace

Keyboard* Keyboard::getInstance() {
    if (instance == nullptr) {
        instance = new Keyboard();
    }
    return instance;
}

void Keyboard::destroyInstance() {
    delete instance;
    instance = nullptr;
}

int Keyboard::slotOf(unsigned char key) {
    if (key < FIRST_CODE || key > LAST_CODE) {
        return NO_SLOT;
    }
    return SLOT_TABLE[key - FIRST_CODE];
}

void Keyboard::keyDown(unsigned char key, int /*x*/, int /*y*/) {
    const int slot = slotOf(key);
    if (slot != NO_SLOT) {
        // Auto-repeat presses a held key again, with or without a release in between.
        const bool fresh = (keys[slot] & (DOWN | RELEASED_AFTER_HOLD)) == 0;
        keys[slot] = static_cast<std::uint8_t>((keys[slot] & (TAPPED | PRESSED_THIS_TICK)) | DOWN |
                                               (fresh ? PRESSED_THIS_TICK : 0));
    }
}

void Keyboard::keyUp(unsigned char key, int /*x*/, int /*y*/) {
    const int slot = slotOf(unshifted(key));
    if (slot == NO_SLOT) {
        return;
    }
    if (!latching) {
        keys[slot] = 0;
    } else if ((keys[slot] & PRESSED_THIS_TICK) != 0) {
        keys[slot] = TAPPED;
    } else {
        keys[slot] = static_cast<std::uint8_t>((keys[slot] & TAPPED) | RELEASED_AFTER_HOLD);
    }
}

bool Keyboard::isKeyDown(int slot) const {
    return slot >= 0 && slot < KEY_SLOT_COUNT && (keys[slot] & (DOWN | TAPPED)) != 0;
}

void Keyboard::latchTaps() {
    latching = true;
}

void Keyboard::endTick() {
    for (std::uint8_t& key : keys) {
        key &= DOWN;
    }
}
