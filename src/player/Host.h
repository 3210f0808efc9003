#pragma once
// What the player's `session` and `execute` commands drive: the module's host-facing class
// behind a small interface, so the player's own tests can stand a tiny module in its place.
// HostProperties holds the values a scenario set; a property never set is not handed over, so
// the class keeps the empty value of its type.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "adodb/Date.h"
#include "host/UserInterface.h"

namespace storeadjust::player {

struct HostProperties {
  std::optional<std::string> NetInfo, ConnStr, OptCode, OptName, Category;
  std::optional<bool> IsLegacyHost, isNotPh;
  std::optional<std::int16_t> NetHandle, CommandTimeout, EditionId;
  std::optional<adodb::Date> SysDate;
};

// Applies one NAME=VALUE of the `session` command. Names are the class's property names
// (exact case); flags take 0 or 1, numbers a 16-bit integer, SysDate YYYY-MM-DD. Throws
// ScriptError naming the fault when the name is unknown or the value does not fit.
void SetHostProperty(HostProperties& properties, std::string_view assignment);

class Host {
 public:
  virtual ~Host() = default;
  // Hands over every property set so far, then runs the module's Execute.
  virtual void Execute(const HostProperties& properties) = 0;
};

// Creates the host once per scenario, on the first `execute`; the same object serves every
// later `execute`, as one host would call one class again.
using HostFactory = std::function<std::unique_ptr<Host>(UserInterface& ui)>;

}  // namespace storeadjust::player
