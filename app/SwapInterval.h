#pragma once

/// Asks the GL driver to wait for the display's refresh at each buffer swap of the current
/// context's window, through whichever GLX swap control extension it offers. Returns false,
/// changing nothing, when it offers none (Mesa's software driver under Xvfb may not).
bool syncSwapsToRefresh();
