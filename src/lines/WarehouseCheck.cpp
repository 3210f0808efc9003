#include "lines/WarehouseCheck.h"

#include "adodb/BoundValues.h"
#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "adodb/Recordset.h"
#include "adodb/TextCompare.h"
#include "host/OperatorScope.h"

namespace storeadjust {

namespace {

// The id as gl_stock stores it, when a row answers the statement; empty otherwise.
std::string StoredId(Session& session, const std::string& sql, const std::string& id) {
  auto rs = session.Conn->OpenRecordset(sql, {adodb::BoundText(id)});
  std::string stored;
  if (rs->RecordCount() > 0) {
    rs->MoveFirst();
    stored = rs->Value("id").TextOrEmpty();
  }
  rs->Close();
  return stored;
}

WarehouseFault FaultOf(Session& session, const std::string& id, const std::string& scope, std::string& stored) {
  const std::string byId = "select id from gl_stock where id=?";
  stored = StoredId(session, byId, id);
  if (stored.empty()) return WarehouseFault::Missing;
  if (!scope.empty() && StoredId(session, byId + " " + scope, id).empty()) return WarehouseFault::OutsideScope;
  return WarehouseFault::None;
}

}  // namespace

WarehouseVerdict CheckBillWarehouses(Session& session, const std::string& outId, const std::string& inId,
                                     const std::string& scope) {
  if (!session.Conn) throw adodb::Error::Closed();
  WarehouseVerdict verdict;
  if (const WarehouseFault fault = FaultOf(session, outId, scope, verdict.outId); fault != WarehouseFault::None) {
    verdict.fault = fault;
    return verdict;
  }
  if (const WarehouseFault fault = FaultOf(session, inId, scope, verdict.inId); fault != WarehouseFault::None) {
    verdict.fault = fault;
    verdict.outSide = false;
    return verdict;
  }
  if (adodb::CompareValues(verdict.outId, verdict.inId) == 0) {
    verdict.fault = WarehouseFault::Same;
    verdict.outSide = false;
  }
  return verdict;
}

WarehouseVerdict CheckBillWarehouses(Session& session, const std::string& outId, const std::string& inId) {
  return CheckBillWarehouses(session, outId, inId, OperatorScopeCondition(session, "ID", kWarehouseScope));
}

}  // namespace storeadjust
