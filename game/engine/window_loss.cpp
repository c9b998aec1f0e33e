#include "window_loss.h"

#include <X11/Xlib.h>
#include <dlfcn.h>

namespace {

using ErrorHandler = int (*)(Display*, XErrorEvent*);

ErrorHandler Previous = nullptr; // the handler before ours (SDL's, then Xlib's default)
bool Lost = false;

int NoteLostWindow(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadDrawable) {
        Lost = true;
        return 0;
    }
    return Previous ? Previous(display, error) : 0;
}

} // namespace

void WatchForLostWindow() {
    Lost = false;
    // The X library SDL loaded, if it did: the game links none, so on Wayland or offscreen (or on
    // another system) this finds nothing and does nothing.
    void* x11 = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!x11) return;
    using SetHandler = ErrorHandler (*)(ErrorHandler);
    auto set = reinterpret_cast<SetHandler>(dlsym(x11, "XSetErrorHandler"));
    if (set) {
        const ErrorHandler before = set(NoteLostWindow);
        if (before != NoteLostWindow) Previous = before;
    }
    dlclose(x11);
}

bool WindowLost() {
    return Lost;
}
