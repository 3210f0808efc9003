#include "player/Host.h"

#include <charconv>

#include "host/ScriptedUserInterface.h"

namespace storeadjust::player {

namespace {

[[noreturn]] void Refuse(std::string_view name, std::string_view value, std::string_view wanted) {
  throw ScriptError("session " + std::string(name) + "=" + std::string(value) + ": " + std::string(wanted));
}

bool ParseFlag(std::string_view name, std::string_view value) {
  if (value == "0") return false;
  if (value == "1") return true;
  Refuse(name, value, "takes 0 or 1");
}

std::int16_t ParseInt16(std::string_view name, std::string_view value) {
  std::int16_t number = 0;
  auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error != std::errc() || end != value.data() + value.size()) Refuse(name, value, "takes a 16-bit integer");
  return number;
}

adodb::Date ParseDate(std::string_view name, std::string_view value) {
  auto date = adodb::Date::Parse(value);
  if (!date || !date->IsValid()) Refuse(name, value, "takes a date YYYY-MM-DD");
  return *date;
}

}  // namespace

void SetHostProperty(HostProperties& p, std::string_view assignment) {
  auto equals = assignment.find('=');
  if (equals == std::string_view::npos) throw ScriptError("session takes NAME=VALUE, not " + std::string(assignment));
  std::string_view name = assignment.substr(0, equals);
  std::string_view value = assignment.substr(equals + 1);
  if (name == "NetInfo") p.NetInfo = std::string(value);
  else if (name == "ConnStr") p.ConnStr = std::string(value);
  else if (name == "OptCode") p.OptCode = std::string(value);
  else if (name == "OptName") p.OptName = std::string(value);
  else if (name == "Category") p.Category = std::string(value);
  else if (name == "IsLegacyHost") p.IsLegacyHost = ParseFlag(name, value);
  else if (name == "isNotPh") p.isNotPh = ParseFlag(name, value);
  else if (name == "NetHandle") p.NetHandle = ParseInt16(name, value);
  else if (name == "CommandTimeout") p.CommandTimeout = ParseInt16(name, value);
  else if (name == "EditionId") p.EditionId = ParseInt16(name, value);
  else if (name == "SysDate") p.SysDate = ParseDate(name, value);
  else throw ScriptError("session: the module has no property " + std::string(name));
}

}  // namespace storeadjust::player
