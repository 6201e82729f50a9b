#include "KeyModel.h"

#include <string>

namespace keymodel {
namespace {

// The key of each slot, in slot order (QWERTY rows, comma and full stop, digits, four
// punctuation keys, Esc, space).
const std::string SLOT_KEYS = "qwertyuiopasdfghjklzxcvbnm,.1234567890-=;/\x1b ";
const std::string UNSHIFTED = "qwertyuiopasdfghjklzxcvbnm1234567890,.-=;/";
const std::string SHIFTED = "QWERTYUIOPASDFGHJKLZXCVBNM!@#$%^&*()<>_+:?";

}  // namespace

int pressSlot(unsigned char code) {
    const std::size_t at = SLOT_KEYS.find(static_cast<char>(code));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int releaseSlot(unsigned char code) {
    const std::size_t at = SHIFTED.find(static_cast<char>(code));
    if (at != std::string::npos) {
        return pressSlot(static_cast<unsigned char>(UNSHIFTED[at]));
    }
    return pressSlot(code);
}

char shifted(char key) {
    const std::size_t at = UNSHIFTED.find(key);
    return at == std::string::npos ? '\0' : SHIFTED[at];
}

}  // namespace keymodel
