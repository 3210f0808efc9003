#pragma once
// Whether a bill's two warehouses may be stored with a line: each must be a warehouse of
// gl_stock and within the operator's warehouse scope, and they must be two warehouses. What was
// typed without the lookup's help reaches the save as it is, so the save asks again. Ids compare
// as the database compares them (case and trailing blanks do not count): "01 " is warehouse 01,
// and "01 " into "01" is a transfer from a warehouse into itself.
#include <string>

#include "host/Session.h"

namespace storeadjust {

enum class WarehouseFault {
  None,
  Missing,       // no such warehouse in gl_stock
  OutsideScope,  // a warehouse the operator may not use
  Same,          // both sides name one warehouse
};

struct WarehouseVerdict {
  WarehouseFault fault = WarehouseFault::None;
  bool outSide = true;  // the side at fault (Same: the in-warehouse, the one typed last)
  // The ids as gl_stock stores them ("01" for "01 "), for each side found; empty otherwise.
  std::string outId, inId;
  bool Allowed() const { return fault == WarehouseFault::None; }
};

// The check with the operator's warehouse scope given as a condition on column ID (empty, or a
// continuation beginning with " and "). Reads on the session connection, so inside a
// transaction it sees the transaction's view. Failures throw adodb::Error.
WarehouseVerdict CheckBillWarehouses(Session& session, const std::string& outId, const std::string& inId,
                                     const std::string& scope);

// The same, with the scope asked of the data-scope component (which opens a connection of its
// own, and so does not see what the caller's open transaction wrote).
WarehouseVerdict CheckBillWarehouses(Session& session, const std::string& outId, const std::string& inId);

}  // namespace storeadjust
