#pragma once
// The key names of the `key` command and the key codes the screens receive: Enter, Esc, Up,
// Down, Left, Right, Delete, Insert, Space, Tab, Back, Home, End, PageUp, PageDown, F1..F12, and
// one letter (either case, the letter's key) or digit.
#include <optional>
#include <string_view>

namespace storeadjust::player {

// The key code, or nothing when the name is not a key.
std::optional<int> KeyCodeFromName(std::string_view name);

}  // namespace storeadjust::player
