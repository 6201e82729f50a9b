#pragma once

// What the window offers besides the keys of the Keyboard table, registered by runEngine():
// the mouse steers the camera (left drag turns the view about the scene's origin, right drag
// pans, the wheel zooms), F3 shows and hides the stats line, F12 saves a picture. Function keys
// have no slot in the Keyboard table, so no scene can be using them.
void installViewControls();
