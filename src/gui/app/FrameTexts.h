#pragma once

#include <optional>

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

// Status key (section "STATE") and help context of a highlighted menu item.
struct MenuItemStatus {
    int stateKey;
    std::optional<int> helpContext;  // nullopt: the help context stays
};
// Items without a text of their own show key 7000 and leave the help context.
MenuItemStatus MenuItemStatusOf(int commandId);

// Status key of a command for tool-button hovering and the idle text; 7000 for the rest.
int CommandStatusKey(int commandId);
inline constexpr int kIdleStatusKey = 7000;
// The status texts are kept in buffers of 1024 bytes.
inline constexpr int kMaxStatusTextLength = 1023;

// The key of section "MENU" with the tooltip of a tool button, or nullopt (no tooltip of ours).
std::optional<int> ToolTipKey(int commandId);
inline constexpr int kMaxToolTipLength = 79;

}  // namespace zobl
