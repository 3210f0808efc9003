#include "player/KeyNames.h"

#include <array>
#include <utility>

#include "host/KeyCodes.h"

namespace storeadjust::player {

namespace {

constexpr std::array<std::pair<std::string_view, int>, 15> kNamedKeys{{
    {"Enter", key::kReturn},   {"Esc", key::kEscape},       {"Up", key::kUp},       {"Down", key::kDown},
    {"Left", key::kLeft},      {"Right", key::kRight},      {"Delete", key::kDelete}, {"Insert", key::kInsert},
    {"Space", key::kSpace},    {"Tab", key::kTab},          {"Back", key::kBack},   {"Home", key::kHome},
    {"End", key::kEnd},        {"PageUp", key::kPageUp},    {"PageDown", key::kPageDown},
}};

std::optional<int> FunctionKey(std::string_view name) {
  if (name.size() < 2 || name.size() > 3 || name[0] != 'F') return std::nullopt;
  int number = 0;
  for (char c : name.substr(1)) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
  }
  if (number < 1 || number > 12 || name[1] == '0') return std::nullopt;
  return key::kF1 + number - 1;
}

}  // namespace

std::optional<int> KeyCodeFromName(std::string_view name) {
  for (const auto& [keyName, code] : kNamedKeys) {
    if (name == keyName) return code;
  }
  if (auto f = FunctionKey(name)) return f;
  if (name.size() == 1) {
    char c = name[0];
    if (c >= '0' && c <= '9') return c;
    if (c >= 'A' && c <= 'Z') return c;
    if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
  }
  return std::nullopt;
}

}  // namespace storeadjust::player
