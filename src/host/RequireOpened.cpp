#include "host/RequireOpened.h"

#include "adodb/Error.h"

namespace storeadjust {

namespace {
constexpr std::int32_t kObjectNotSet = 91;
}  // namespace

std::shared_ptr<adodb::Recordset> RequireOpened(std::shared_ptr<adodb::Recordset> rs) {
  if (!rs) throw adodb::Error(kObjectNotSet, "Object variable or With block variable not set", "StoreAdjust");
  return rs;
}

}  // namespace storeadjust
