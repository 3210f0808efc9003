#include "host/EmbeddedDataScopeProvider.h"

#include <chrono>
#include <ctime>
#include <memory>
#include <optional>

#include "adodb/Connection.h"
#include "adodb/Recordset.h"
#include "adodb/TextCompare.h"
#include "host/DataHelpers.h"
#include "host/SqlLiterals.h"

namespace storeadjust {

namespace {

enum class ApprovalState { NotSubmitted, Pending, Approved, Rejected };

// The local time as the database keeps moments: "YYYY-MM-DD HH:MM:SS".
std::string NowText() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

std::string BillKey(const std::string& billTypeCode, const std::string& billSerial) {
  return " where BillTypeCode=" + SqlText(billTypeCode) + " and BillGuid=" + SqlText(billSerial);
}

bool ApprovalRequired(adodb::Connection& connection, const std::string& billTypeCode) {
  auto rs = connection.OpenRecordset("select Enabled from BillApprovalSwitch where BillTypeCode=" +
                                     SqlText(billTypeCode));
  if (rs->RecordCount() < 1) return false;
  rs->MoveFirst();
  const adodb::Variant& enabled = rs->Value("Enabled");
  return !enabled.IsNull() && enabled.AsBool();
}

ApprovalState StateOf(adodb::Connection& connection, const std::string& billTypeCode, const std::string& billSerial) {
  auto rs = connection.OpenRecordset("select Status from BillApproval" + BillKey(billTypeCode, billSerial));
  if (rs->RecordCount() < 1) return ApprovalState::NotSubmitted;
  rs->MoveFirst();
  const std::string status = adodb::LowerName(rs->Value("Status").TextOrEmpty());
  if (status == "approved") return ApprovalState::Approved;
  if (status == "rejected") return ApprovalState::Rejected;
  return ApprovalState::Pending;  // anything undecided holds the bill
}

struct Submission {
  std::string billTypeCode, billSerial, makerGuid, submitterGuid;
  double totalAmount = 0, largestLineAmount = 0;
};

// Writes the bill's record with the given status: a new record, or the existing one renewed
// (a resubmission after rejection, or a submission recorded without approval).
void RecordSubmission(adodb::Connection& connection, const Submission& s, bool exists, bool approvedAtOnce) {
  const std::string now = SqlText(NowText());
  const std::string status = SqlText(approvedAtOnce ? "approved" : "pending");
  const std::string decidedAt = approvedAtOnce ? now : "NULL";
  if (exists) {
    connection.Execute("update BillApproval set MakerGuid=" + SqlText(s.makerGuid) +
                       ",SubmitterGuid=" + SqlText(s.submitterGuid) + ",TotalAmount=" + SqlNumber(s.totalAmount) +
                       ",MaxLineAmount=" + SqlNumber(s.largestLineAmount) + ",SubmittedAt=" + now +
                       ",Status=" + status + ",DecidedAt=" + decidedAt + ",DecidedBy=NULL" +
                       BillKey(s.billTypeCode, s.billSerial));
    return;
  }
  connection.Execute(
      "insert into BillApproval (BillTypeCode,BillGuid,MakerGuid,SubmitterGuid,TotalAmount,MaxLineAmount,"
      "SubmittedAt,Status,DecidedAt,DecidedBy) values (" +
      SqlText(s.billTypeCode) + "," + SqlText(s.billSerial) + "," + SqlText(s.makerGuid) + "," +
      SqlText(s.submitterGuid) + "," + SqlNumber(s.totalAmount) + "," + SqlNumber(s.largestLineAmount) + "," + now +
      "," + status + "," + decidedAt + ",NULL)");
}

}  // namespace

std::string EmbeddedDataScopeProvider::GetScopeCondition(const std::string& connectionString,
                                                         const std::string& column, const std::string& operatorGuid,
                                                         const std::string& /*operatorCode*/,
                                                         const std::string& scopeCode) {
  auto connection = OpenOwnConnection(connectionString);
  auto items = connection->OpenRecordset("select ItemId from DataScopeItem where OperatorGuid=" +
                                         SqlText(operatorGuid) + " and ScopeCode=" + SqlText(scopeCode) +
                                         " order by ItemId");
  if (items->RecordCount() < 1) return {};
  std::string list;
  for (items->MoveFirst(); !items->EOF(); items->MoveNext()) {
    if (!list.empty()) list += ",";
    list += SqlText(items->Value("ItemId").TextOrEmpty());
  }
  return " and " + column + " in (" + list + ")";
}

std::string EmbeddedDataScopeProvider::SubmitBill(const std::string& connectionString,
                                                  const std::string& billTypeCode, const std::string& billSerial,
                                                  const std::string& makerGuid, const std::string& submitterGuid,
                                                  double totalAmount, double largestLineAmount) {
  auto connection = OpenOwnConnection(connectionString);
  adodb::TransactionGuard transaction(*connection);
  const bool required = ApprovalRequired(*connection, billTypeCode);
  const ApprovalState state = StateOf(*connection, billTypeCode, billSerial);
  if (required && state == ApprovalState::Pending) return kAlreadyPendingMessage;
  if (required && state == ApprovalState::Approved) return kAlreadyApprovedMessage;
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
