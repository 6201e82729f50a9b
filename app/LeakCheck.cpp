#include "app/LeakCheck.h"

#if defined(__SANITIZE_ADDRESS__)
#define ENGINE_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ENGINE_LEAK_CHECK 1
#endif
#endif

#ifdef ENGINE_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

// Why before GLUT closes the display: closing it unloads the GL driver, whose leftover blocks
// would then be reported with stacks of "<unknown module>" that no suppression can name, while
// the engine's own leaks would hide among them. With the driver still loaded, its blocks carry
// its name and the suppression file excuses them.
void checkForLeaks() {
#ifdef ENGINE_LEAK_CHECK
    // Honours detect_leaks; a leak ends the process with the sanitizer's exit code, and the
    // usual check at exit is skipped since one has run.
    __lsan_do_leak_check();
#endif
}
