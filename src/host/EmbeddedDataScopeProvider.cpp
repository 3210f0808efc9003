#include "host/EmbeddedDataScopeProvider.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <memory>
#include <optional>

#include "adodb/BoundValues.h"
#include "adodb/Connection.h"
#include "adodb/Recordset.h"
#include "adodb/TextCompare.h"
#include "host/DataHelpers.h"
#include "host/SelectTemplates.h"

namespace storeadjust {

namespace {

enum class ApprovalState { NotSubmitted, Pending, Approved, Rejected };

// The local time to the second, as the database keeps moments.
adodb::Date Now() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

// Money columns keep four digits after the point.
constexpr int kMoneyScale = 4;

// Two marks: the bill type code, then the serial.
constexpr const char* kBillKey = " where BillTypeCode=? and BillGuid=?";

adodb::BoundValues BillKeyValues(const std::string& billTypeCode, const std::string& billSerial) {
  return {adodb::BoundText(billTypeCode), adodb::BoundText(billSerial)};
}

bool ApprovalRequired(adodb::Connection& connection, const std::string& billTypeCode) {
  auto rs = connection.OpenRecordset("select Enabled from BillApprovalSwitch where BillTypeCode=?",
                                     {adodb::BoundText(billTypeCode)});
  if (rs->RecordCount() < 1) return false;
  rs->MoveFirst();
  const adodb::Variant& enabled = rs->Value("Enabled");
  return !enabled.IsNull() && enabled.AsBool();
}

ApprovalState StateOf(adodb::Connection& connection, const std::string& billTypeCode, const std::string& billSerial) {
  auto rs = connection.OpenRecordset(std::string("select Status from BillApproval") + kBillKey,
                                     BillKeyValues(billTypeCode, billSerial));
  if (rs->RecordCount() < 1) return ApprovalState::NotSubmitted;
  rs->MoveFirst();
  const std::string status = adodb::LowerName(rs->Value("Status").TextOrEmpty());
  if (status == "approved") return ApprovalState::Approved;
  if (status == "rejected") return ApprovalState::Rejected;
  return ApprovalState::Pending;  // anything undecided holds the bill
}

// Whether the transfer bill was deleted by another clerk after the caller read it: its record
// would wait for a decision on a bill that no longer is, and the clerk be told it was submitted.
// Only the transfer bill's tables are known here; other kinds are taken as handed.
bool TransferBillGone(adodb::Connection& connection, const std::string& billTypeCode, const std::string& billSerial) {
  return billTypeCode == kTransferBillTypeCode &&
         connection.OpenRecordset("select lsh from ckdbdzk where lsh=?", {adodb::BoundText(billSerial)})
                 ->RecordCount() < 1;
}

// Whether the stored bill's total or largest line amount (both to 2 places, as the caller reads
// them) is no longer what the caller handed over: another clerk's line save may land between the
// caller's reading and this record, and the flow would then be decided on amounts the bill has
// not. Only the transfer bill's lines are known here.
bool AmountsChangedSinceRead(adodb::Connection& connection, const std::string& billTypeCode,
                             const std::string& billSerial, double totalAmount, double largestLineAmount) {
  if (billTypeCode != kTransferBillTypeCode) return false;
  const adodb::BoundValues serial{adodb::BoundText(billSerial)};
  auto rs = connection.OpenRecordset(
      "select round(sum(isnull(je,0)),2) total, round(max(isnull(je,0)),2) largest from ckdbdzkmx where lsh=?", serial);
  rs->MoveFirst();
  const auto amount = [&](const char* name) {
    const adodb::Variant& value = rs->Value(name);
    return value.IsNull() ? 0.0 : value.AsDouble();
  };
  constexpr double kHalfCent = 0.005;
  return std::fabs(amount("total") - totalAmount) >= kHalfCent ||
         std::fabs(amount("largest") - largestLineAmount) >= kHalfCent;
}

struct Submission {
  std::string billTypeCode, billSerial, makerGuid, submitterGuid;
  double totalAmount = 0, largestLineAmount = 0;
};

// Writes the bill's record with the given status: a new record, or the existing one renewed
// (a resubmission after rejection, or a submission recorded without approval).
void RecordSubmission(adodb::Connection& connection, const Submission& s, bool exists, bool approvedAtOnce) {
  const adodb::Date now = Now();
  const adodb::Parameter decidedAt = approvedAtOnce ? adodb::BoundDate(now) : adodb::BoundNull(adodb::adDBTimeStamp);
  adodb::BoundValues values = {adodb::BoundText(s.makerGuid),
                               adodb::BoundText(s.submitterGuid),
                               adodb::BoundDecimal(s.totalAmount, kMoneyScale),
                               adodb::BoundDecimal(s.largestLineAmount, kMoneyScale),
                               adodb::BoundDate(now),
                               adodb::BoundText(approvedAtOnce ? "approved" : "pending"),
                               decidedAt};
  const adodb::BoundValues key = BillKeyValues(s.billTypeCode, s.billSerial);
  if (exists) {
    values.insert(values.end(), key.begin(), key.end());
    connection.Execute(std::string("update BillApproval set MakerGuid=?,SubmitterGuid=?,TotalAmount=?,"
                                   "MaxLineAmount=?,SubmittedAt=?,Status=?,DecidedAt=?,DecidedBy=NULL") +
                           kBillKey,
                       values);
    return;
  }
  values.insert(values.begin(), key.begin(), key.end());
  connection.Execute(
      "insert into BillApproval (BillTypeCode,BillGuid,MakerGuid,SubmitterGuid,TotalAmount,MaxLineAmount,"
      "SubmittedAt,Status,DecidedAt,DecidedBy) values (?,?,?,?,?,?,?,?,?,NULL)",
      values);
}

}  // namespace

std::string EmbeddedDataScopeProvider::GetScopeCondition(const std::string& connectionString,
                                                         const std::string& column, const std::string& operatorGuid,
                                                         const std::string& /*operatorCode*/,
                                                         const std::string& scopeCode) {
  auto connection = OpenOwnConnection(connectionString);
  auto items = connection->OpenRecordset("select ItemId from DataScopeItem where OperatorGuid=? and ScopeCode=? "
                                         "order by ItemId",
                                         {adodb::BoundText(operatorGuid), adodb::BoundText(scopeCode)});
  if (items->RecordCount() < 1) return {};
  // The component hands its condition over as text (a site's own component does too), so the
  // items go in as a stored statement's values do.
  std::string list;
  for (items->MoveFirst(); !items->EOF(); items->MoveNext()) {
    if (!list.empty()) list += ",";
    list += SubstituteTemplateValue("'[ItemId]'", "[ItemId]", items->Value("ItemId").TextOrEmpty());
  }
  return " and " + column + " in (" + list + ")";
}

std::string EmbeddedDataScopeProvider::SubmitBill(const std::string& connectionString,
                                                  const std::string& billTypeCode, const std::string& billSerial,
                                                  const std::string& makerGuid, const std::string& submitterGuid,
                                                  double totalAmount, double largestLineAmount) {
  return SubmitBillAsRead(connectionString, billTypeCode, billSerial, makerGuid, submitterGuid, totalAmount,
                          largestLineAmount, {});
}

std::string EmbeddedDataScopeProvider::SubmitBillAsRead(const std::string& connectionString,
                                                        const std::string& billTypeCode, const std::string& billSerial,
                                                        const std::string& makerGuid, const std::string& submitterGuid,
                                                        double totalAmount, double largestLineAmount,
                                                        const SubmissionStillAsRead& stillAsRead) {
  auto connection = OpenOwnConnection(connectionString);
  adodb::TransactionGuard transaction(*connection);
  const bool required = ApprovalRequired(*connection, billTypeCode);
  const ApprovalState state = StateOf(*connection, billTypeCode, billSerial);
  if (required && state == ApprovalState::Pending) return kAlreadyPendingMessage;
  if (required && state == ApprovalState::Approved) return kAlreadyApprovedMessage;
  if (TransferBillGone(*connection, billTypeCode, billSerial)) return kBillGoneMessage;
  if (AmountsChangedSinceRead(*connection, billTypeCode, billSerial, totalAmount, largestLineAmount)) {
    return kAmountsChangedMessage;
  }
  // The amounts alone miss a line changed at the same amount, or two lines swapped.
  if (stillAsRead && !stillAsRead(*connection)) return kBillChangedMessage;
  const Submission submission{billTypeCode, billSerial, makerGuid, submitterGuid, totalAmount, largestLineAmount};
  RecordSubmission(*connection, submission, state != ApprovalState::NotSubmitted, !required);
  transaction.Commit();
  return {};
}

bool EmbeddedDataScopeProvider::IsApproved(const std::string& connectionString, const std::string& billTypeCode,
                                           const std::string& billSerial) {
  auto connection = OpenOwnConnection(connectionString);
  if (!ApprovalRequired(*connection, billTypeCode)) return true;
  return StateOf(*connection, billTypeCode, billSerial) == ApprovalState::Approved;
}

void EmbeddedDataScopeProvider::IsBillEditable(const std::string& connectionString, const std::string& billTypeCode,
                                               const std::string& billSerial, bool& editable) {
  auto connection = OpenOwnConnection(connectionString);
  if (!ApprovalRequired(*connection, billTypeCode)) {
    editable = true;
    return;
  }
  const ApprovalState state = StateOf(*connection, billTypeCode, billSerial);
  editable = state == ApprovalState::NotSubmitted || state == ApprovalState::Rejected;
}

}  // namespace storeadjust
