#include "core/Assert.h"

#include <cstdio>
#include <cstdlib>

void engineAssertFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: engine invariant broken: %s\n", file, line, condition);
    std::fflush(stderr);
    std::abort();
}
