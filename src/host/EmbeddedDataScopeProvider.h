#pragma once
// The data-scope and approval component on the module's own database, driven by three tables:
//   DataScopeItem(OperatorGuid, ScopeCode, ItemId)   the items an operator may use, per scope;
//                                                    no row for a scope: no restriction.
//   BillApprovalSwitch(BillTypeCode, Enabled)         approval required for a bill type; no row
//                                                    or Enabled 0: not required.
//   BillApproval(BillTypeCode, BillGuid, ...)         one record per submitted bill (BillGuid holds
//                                                    the serial), Status 'pending', 'approved' or
//                                                    'rejected'.
// Without approval every bill is approved and editable, and a submission is recorded as
// 'approved' at once (no one decided it: DecidedBy NULL). With approval a submission is recorded
// 'pending'; the ERP's approval screens decide it (see APPROVAL.md); a pending or approved bill
// is held (not editable, not submitted again), a rejected one is editable and may be submitted
// again, which puts its record back to 'pending'.
#include "host/DataScopeProvider.h"

namespace storeadjust {

class EmbeddedDataScopeProvider final : public DataScopeProvider {
 public:
  std::string GetScopeCondition(const std::string& connectionString, const std::string& column,
                                const std::string& operatorGuid, const std::string& operatorCode,
                                const std::string& scopeCode) override;
  std::string SubmitBill(const std::string& connectionString, const std::string& billTypeCode,
                         const std::string& billSerial, const std::string& makerGuid,
                         const std::string& submitterGuid, double totalAmount, double largestLineAmount) override;
  std::string SubmitBillAsRead(const std::string& connectionString, const std::string& billTypeCode,
                               const std::string& billSerial, const std::string& makerGuid,
                               const std::string& submitterGuid, double totalAmount, double largestLineAmount,
                               const SubmissionStillAsRead& stillAsRead) override;
  bool IsApproved(const std::string& connectionString, const std::string& billTypeCode,
                  const std::string& billSerial) override;
  void IsBillEditable(const std::string& connectionString, const std::string& billTypeCode,
                      const std::string& billSerial, bool& editable) override;
};

// The messages of a refused submission.
inline constexpr const char* kAlreadyPendingMessage = "单据已提交审批，不能重复提交！";
inline constexpr const char* kAlreadyApprovedMessage = "单据已审批通过，不能重复提交！";
inline constexpr const char* kAmountsChangedMessage = "单据金额已被他人修改，请重新提交审批！";
inline constexpr const char* kBillChangedMessage = "单据已被他人修改，请重新提交审批！";
inline constexpr const char* kBillGoneMessage = "单据已被他人删除，不能提交审批！";

}  // namespace storeadjust
