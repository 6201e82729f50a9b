#pragma once

/// In a build with AddressSanitizer, runs LeakSanitizer's check right now and reports every
/// block nothing points to any more; elsewhere it does nothing. Only the first call checks.
/// Call it once everything the engine owns is freed, and before GLUT closes the display.
void checkForLeaks();
