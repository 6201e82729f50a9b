#include "app/KeyScript.h"

#include <cstdio>
#include <cstdlib>

#include "input/Keyboard.h"

namespace {

std::vector<ScriptedKey> script;

bool readStep(const char* text, char stop, long& step, const char*& end) {
    char* after = nullptr;
    step = std::strtol(text, &after, 10);
    end = after;
    return after != text && *after == stop && step > 0;
}

}  // namespace

bool parseScriptedKey(const std::string& text, ScriptedKey& key) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) {
        return false;
    }
    const std::string name = text.substr(0, colon);
    if (name == "space") {
        key.key = ' ';
    } else if (name.size() == 1) {
        key.key = static_cast<unsigned char>(name[0]);
    } else {
        return false;
    }
    const char* steps = text.c_str() + colon + 1;
    const char* end = nullptr;
    if (readStep(steps, '\0', key.first, end)) {
        key.last = key.first;
        return true;
    }
    return readStep(steps, '-', key.first, end) && readStep(end + 1, '\0', key.last, end) &&
           key.last >= key.first;
}

void setKeyScript(const std::vector<std::string>& presses) {
    script.clear();
    for (const std::string& press : presses) {
        ScriptedKey key;
        if (parseScriptedKey(press, key)) {
            script.push_back(key);
        } else {
            std::fprintf(stderr,
                         "a key to press is KEY:STEP or KEY:FIRST-LAST, not '%s'; ignored\n",
                         press.c_str());
        }
    }
}

void playKeyScript(long step) {
    for (const ScriptedKey& held : script) {
        if (step == held.last + 1) {
            Keyboard::getInstance()->keyUp(held.key, 0, 0);
        }
        if (step == held.first) {
            Keyboard::getInstance()->keyDown(held.key, 0, 0);
        }
    }
}
