#pragma once

/// In a build with AddressSanitizer, runs LeakSanitizer's check right now and reports every
/// block nothing points to any more; elsewhere it does nothing. Only the first call checks.
///
/// The demo calls it once it has freed everything it owns and before GLUT closes the display:
/// closing it unloads the GL driver, whose leftover blocks would then be reported with stacks
/// of "<unknown module>" that no suppression can name, while the engine's own leaks would hide
/// among them. With the driver still loaded, its blocks carry its name and the suppression file
/// excuses them.
void checkForLeaks();
