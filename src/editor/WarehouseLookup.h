#pragma once
// Resolving what a clerk typed in one of the bill's two warehouse fields: an exact warehouse id,
// else a prefix of the warehouse's second code KM5; an empty field offers the whole list. Every
// list leaves out the warehouse chosen on the other side and keeps to the operator's warehouse
// scope. The typed texts are bound as values of ? marks; a prefix is one text value.
#include <string>

#include "host/BoundSql.h"
#include "host/Session.h"

namespace storeadjust {

enum class WarehouseSide { Out, In };

// The conditions put in place of "[选择条件]" of the side's list statement. `other` is the id on
// the other side, `scope` the operator's warehouse scope condition (appended as it is).
BoundSql WholeWarehouseListCondition(WarehouseSide side, const std::string& other, const std::string& scope);
BoundSql ExactWarehouseCondition(WarehouseSide side, const std::string& typed, const std::string& other,
                                 const std::string& scope);
BoundSql WarehousePrefixCondition(WarehouseSide side, const std::string& typed, const std::string& other,
                                  const std::string& scope);

struct WarehouseChoice {
  bool found = false;
  std::string id;    // the chosen row's id, as stored (an exact match too: "01 " finds 01)
  std::string name;
};

// Looks up `typed` (empty: the whole list) through the selection dialog on listSql, whose
// "[选择条件]" receives the conditions above. Dialog and database failures throw adodb::Error.
WarehouseChoice LookUpWarehouse(Session& session, const std::string& listSql, WarehouseSide side,
                                const std::string& typed, const std::string& other, const std::string& scope);

}  // namespace storeadjust
