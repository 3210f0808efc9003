#include "states/AuditProcedure.h"

#include "adodb/Command.h"
#include "adodb/Error.h"

namespace storeadjust {

// The operator goes to the procedure by code, not by Guid: that is what the procedure expects.
ProcedureVerdict AskAuditProcedure(Session& session, const std::string& billSerial, const std::string& procedureName) {
  if (!session.Conn) throw adodb::Error(adodb::errnum::kConnectionInvalid, "The connection cannot be used to perform this operation. It is either closed or invalid in this context.", "ADODB.Command");
  adodb::Command command;
  command.ActiveConnection = session.Conn;
  command.CommandText = procedureName;
  command.CommandTypeValue = adodb::adCmdStoredProc;
  command.Append(command.CreateParameter("BillGuid", adodb::adVarChar, adodb::adParamInput, 50, billSerial));
  command.Append(command.CreateParameter("BillTypeGuid", adodb::adVarChar, adodb::adParamInput, 50, ""));
  command.Append(command.CreateParameter("OperatorGuid", adodb::adVarChar, adodb::adParamInput, 50, session.OptCode));
  command.Append(command.CreateParameter("ReturnMsg", adodb::adVarChar, adodb::adParamOutput, 500, ""));
  command.Append(command.CreateParameter("ReturnValue", adodb::adInteger, adodb::adParamOutput, 50, 0));
  command.Execute();
  const adodb::Variant& value = command.Parameters("ReturnValue").Value();
  return {value.IsNull() ? 0 : value.AsInt32(), command.Parameters("ReturnMsg").Value().TextOrEmpty()};
}

}  // namespace storeadjust
