#pragma once

#include "gui/framework/CommandTable.h"

namespace zobl {

// Help contexts of the application shell.
namespace help {
inline constexpr int kNoDocument = 21051;  // also the help topics
inline constexpr int kVehicleDocument = 2080;
inline constexpr int kSceneryDocument = 2090;
inline constexpr int kOpenPrompt = 50010;
inline constexpr int kSavePrompt = 50020;
inline constexpr int kAboutBox = 50050;
inline constexpr int kMessageBase = 60000;  // + error or question number
}  // namespace help

// The title of the main window and of the program's own message boxes.
inline constexpr const char* kApplicationTitle = "ZOBL Graphic Editor";

// The status texts are kept in buffers of 1024 bytes.
inline constexpr int kMaxStatusTextLength = 1023;
// Tool tips are cut to 79 characters.
inline constexpr int kMaxToolTipLength = 79;

}  // namespace zobl
