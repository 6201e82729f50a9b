#pragma once

/// GL calls made through the wrapped entry points since the program started (see
/// GlCallCounter.cpp and the --wrap list in bench/CMakeLists.txt).
long glCallsMade();
