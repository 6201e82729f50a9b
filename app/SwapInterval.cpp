#include "app/SwapInterval.h"

#include <GL/glx.h>

#include <cstring>

namespace {

// Extension names are separated by spaces; one may be the prefix of another.
bool hasExtension(const char* extensions, const char* name) {
    const std::size_t length = std::strlen(name);
    for (const char* at = extensions; (at = std::strstr(at, name)) != nullptr; at += length) {
        const bool startsWord = at == extensions || at[-1] == ' ';
        const bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}

template <typename Function>
Function lookUp(const char* name) {
    return reinterpret_cast<Function>(glXGetProcAddress(reinterpret_cast<const GLubyte*>(name)));
}

}  // namespace

bool syncSwapsToRefresh() {
    Display* display = glXGetCurrentDisplay();
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (display == nullptr || drawable == 0) {
        return false;
    }
    const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    if (extensions == nullptr) {
        return false;
    }
    // The EXT form names the window; the MESA and SGI forms act on the current one.
    using SetForDrawable = void (*)(Display*, GLXDrawable, int);
    using SetForCurrentMesa = int (*)(unsigned int);
    using SetForCurrentSgi = int (*)(int);
    if (hasExtension(extensions, "GLX_EXT_swap_control")) {
        if (auto set = lookUp<SetForDrawable>("glXSwapIntervalEXT")) {
            set(display, drawable, 1);
            return true;
        }
    }
    if (hasExtension(extensions, "GLX_MESA_swap_control")) {
        if (auto set = lookUp<SetForCurrentMesa>("glXSwapIntervalMESA")) {
            return set(1) == 0;
        }
    }
    if (hasExtension(extensions, "GLX_SGI_swap_control")) {
        if (auto set = lookUp<SetForCurrentSgi>("glXSwapIntervalSGI")) {
            return set(1) == 0;
        }
    }
    return false;
}
