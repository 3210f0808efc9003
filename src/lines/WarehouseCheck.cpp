#include "lines/WarehouseCheck.h"

#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "adodb/TextCompare.h"
#include "host/OperatorScope.h"
#include "host/SqlLiterals.h"

namespace storeadjust {

namespace {

bool AnyRow(Session& session, const std::string& sql) {
  auto rs = session.Conn->OpenRecordset(sql);
  const bool any = rs->RecordCount() > 0;
  rs->Close();
  return any;
}

WarehouseFault FaultOf(Session& session, const std::string& id, const std::string& scope) {
  const std::string byId = "select id from gl_stock where id=" + SqlText(id);
  if (!AnyRow(session, byId)) return WarehouseFault::Missing;
  if (!scope.empty() && !AnyRow(session, byId + " " + scope)) return WarehouseFault::OutsideScope;
  return WarehouseFault::None;
}

}  // namespace

WarehouseVerdict CheckBillWarehouses(Session& session, const std::string& outId, const std::string& inId,
                                     const std::string& scope) {
  if (!session.Conn) throw adodb::Error::Closed();
  if (const WarehouseFault fault = FaultOf(session, outId, scope); fault != WarehouseFault::None) return {fault, true};
  if (const WarehouseFault fault = FaultOf(session, inId, scope); fault != WarehouseFault::None) return {fault, false};
  if (adodb::CompareValues(outId, inId) == 0) return {WarehouseFault::Same, false};
  return {};
}

WarehouseVerdict CheckBillWarehouses(Session& session, const std::string& outId, const std::string& inId) {
  return CheckBillWarehouses(session, outId, inId, OperatorScopeCondition(session, "ID", kWarehouseScope));
}

}  // namespace storeadjust
