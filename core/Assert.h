#pragma once

// ENGINE_ASSERT(condition): an invariant of the engine, something that holds unless the engine
// itself has a fault. Checked in Debug and sanitizer builds (the build defines ENGINE_ASSERTS),
// where a broken one prints the condition and its place and aborts; compiled out elsewhere, so
// that a release step pays nothing. Never for what a caller may get wrong: the engine absorbs
// unfitting input as each operation states.
#if defined(ENGINE_ASSERTS)
#define ENGINE_ASSERT(condition) \
    ((condition) ? static_cast<void>(0) : engineAssertFailed(#condition, __FILE__, __LINE__))
#else
// Not evaluated, but still compiled: a condition that stops compiling is seen in every build.
#define ENGINE_ASSERT(condition) static_cast<void>(sizeof(!(condition)))
#endif

[[noreturn]] void engineAssertFailed(const char* condition, const char* file, int line);
