#pragma once
// The ERP's stored procedures that the module calls, as the embedded database provides them.
//
// "AuditingWarehouseAdjustBill" (BillGuid, BillTypeGuid, OperatorGuid, output ReturnMsg,
// output ReturnValue): the approval gate of the audit. It answers from the table
// AuditVerdict(BillGuid, ReturnValue, ReturnMsg): no row for the bill is a pass (0, empty
// text); otherwise the row's own values, so a site or a test makes it warn (1) or refuse (2)
// with its own text.
//
// Registration is process-wide; the host calls RegisterEmbeddedProcedures before it opens the
// session, tests before they call a procedure. Calling it again changes nothing.
namespace storeadjust {

inline constexpr const char* kAuditProcedureName = "AuditingWarehouseAdjustBill";

void RegisterEmbeddedProcedures();

}  // namespace storeadjust
