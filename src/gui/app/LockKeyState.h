#pragma once

#include <array>
#include <functional>
#include <optional>

namespace zobl {

// Caps Lock, Num Lock and Scroll Lock, in the order of the status bar's indicators. A key whose
// state the platform does not report is nullopt: its indicator stays empty rather than guess.
using LockKeyStates = std::array<std::optional<bool>, 3>;
using LockKeyReader = std::function<LockKeyStates()>;

// The keyboard's lock states as the window system reports them: on X11 the XKB indicators of
// the core keyboard; elsewhere (Wayland, offscreen) nothing.
LockKeyStates ReadPlatformLockKeys();

}  // namespace zobl
