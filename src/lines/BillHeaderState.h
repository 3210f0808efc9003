#pragma once
// The state flags of a bill's header, as the commands that change a bill read them again inside
// their transaction before they act. Read with `locked`, the header row is taken with an update
// lock: on a server, a second command on the same bill waits there until the first has committed
// or rolled back. The embedded database's translator drops the hint; its transactions hold the
// write lock from their start.
#include <string>

#include "adodb/Connection.h"

namespace storeadjust {

struct BillHeaderState {
  bool exists = false;
  bool preAudited = false;  // PreShbz
  bool audited = false;     // Shbz: audited (one-step) or confirmed (two-step)
  bool posted = false;      // Jzbz
  bool operator==(const BillHeaderState&) const = default;
};

// Throws adodb::Error when the read fails.
BillHeaderState ReadBillHeader(adodb::Connection& connection, const std::string& lsh, bool locked);

}  // namespace storeadjust
