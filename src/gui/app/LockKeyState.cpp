#include "gui/app/LockKeyState.h"

#include <QGuiApplication>

#if defined(ZOBL_HAVE_X11)
#include <QtGui/qguiapplication_platform.h>
// After Qt: Xlib defines macros (None, Bool, Status) that Qt's headers use as names.
#include <X11/XKBlib.h>
#endif

namespace zobl {

LockKeyStates ReadPlatformLockKeys() {
    LockKeyStates states{};
#if defined(ZOBL_HAVE_X11) && QT_CONFIG(xcb)
    const auto* x11 =
        qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 != nullptr ? x11->display() : nullptr;
    if (display == nullptr) {
        return states;
    }
    // The indicators by their standard names; a keyboard map without one leaves it unknown.
    constexpr const char* kIndicatorNames[3] = {"Caps Lock", "Num Lock", "Scroll Lock"};
    for (std::size_t i = 0; i < states.size(); ++i) {
        const Atom name = XInternAtom(display, kIndicatorNames[i], True);
        int on = 0;
        if (name != 0 && XkbGetNamedIndicator(display, name, nullptr, &on, nullptr, nullptr)) {
            states[i] = on != 0;
        }
    }
#endif
    return states;
}

}  // namespace zobl
