#pragma once
// Classic key codes, as the screens' key handlers receive them.
namespace storeadjust::key {
inline constexpr int kBack = 8;
inline constexpr int kTab = 9;
inline constexpr int kReturn = 13;
inline constexpr int kEscape = 27;
inline constexpr int kSpace = 32;
inline constexpr int kPageUp = 33;
inline constexpr int kPageDown = 34;
inline constexpr int kEnd = 35;
inline constexpr int kHome = 36;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
inline constexpr int kInsert = 45;
inline constexpr int kDelete = 46;
inline constexpr int kF1 = 112;  // F1..F12 are kF1 + 0..11
inline constexpr int kF12 = 123;
// Letters are 'A'..'Z' (65..90), digits '0'..'9' (48..57).
// The shift argument beside a key code: Shift 1, Ctrl 2, Alt 4, added.
inline constexpr int kCtrlMask = 2;
}  // namespace storeadjust::key
