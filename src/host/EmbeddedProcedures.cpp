#include "host/EmbeddedProcedures.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "adodb/Backend.h"
#include "adodb/BoundValues.h"
#include "adodb/Error.h"
#include "adodb/Parameter.h"
#include "adodb/StoredProcedures.h"

namespace storeadjust {

namespace {

using Parameters = std::vector<std::shared_ptr<adodb::Parameter>>;

// By name; a caller that binds by position (as the classic provider does by default) finds the
// parameter at its place in the declared order.
adodb::Parameter& ParameterOf(Parameters& parameters, const std::string& name, std::size_t position) {
  for (auto& parameter : parameters) {
    if (parameter && adodb::SameParameterName(parameter->Name(), name)) return *parameter;
  }
  if (position < parameters.size() && parameters[position] && parameters[position]->Name().empty()) {
    return *parameters[position];
  }
  throw adodb::Error::Syntax("Procedure or function '" + std::string(kAuditProcedureName) + "' expects parameter '@" +
                             name + "', which was not supplied.");
}

void AuditingWarehouseAdjustBill(adodb::Backend& backend, Parameters& parameters) {
  const std::string billGuid = ParameterOf(parameters, "BillGuid", 0).Value().TextOrEmpty();
  adodb::Parameter& returnMsg = ParameterOf(parameters, "ReturnMsg", 3);
  adodb::Parameter& returnValue = ParameterOf(parameters, "ReturnValue", 4);

  const adodb::ResultSet verdict = backend.Query("select ReturnValue, ReturnMsg from AuditVerdict where BillGuid=?",
                                                 {adodb::BoundText(billGuid)});
  if (verdict.rows.empty()) {
    returnValue.SetValue(adodb::Variant(0));
    returnMsg.SetValue(adodb::Variant(""));
    return;
  }
  const adodb::Row& row = verdict.rows.front();
  returnValue.SetValue(adodb::Variant(row[0].IsNull() ? 0 : row[0].AsInt32()));
  returnMsg.SetValue(adodb::Variant(row[1].TextOrEmpty()));
}

}  // namespace

void RegisterEmbeddedProcedures() {
  static std::once_flag once;
  std::call_once(once, [] { adodb::RegisterStoredProcedure(kAuditProcedureName, AuditingWarehouseAdjustBill); });
}

}  // namespace storeadjust
