#pragma once
// The rights a screen greys its commands by, read once when it opens. Read quietly: a rights table that cannot be read counts as a
// right not held and shows nothing here; the command, when reached, checks again and shows what
// went wrong.
#include <set>
#include <string>
#include <vector>

#include "host/Session.h"

namespace storeadjust {

class HeldRights {
 public:
  HeldRights() = default;
  static HeldRights Read(Session& session, const std::vector<std::string>& rightNames);

  bool Holds(const std::string& rightName) const { return held_.count(rightName) != 0; }
  // What a grey command says when the right is missing: "没有审核权限"; empty when held.
  std::string Missing(const std::string& rightName) const;

 private:
  std::set<std::string> held_;
};

}  // namespace storeadjust
