#pragma once
// The ERP's data-scope and approval component, as every caller of the module relies on it.
// Each operation opens its own connection from the connection string handed to it, so it never
// sees the session connection or its transaction. Failures throw adodb::Error to the caller's
// own handling; nothing retries. Callers create one instance per operation through
// CreateDataScopeProvider and let it go when the operation ends.
#include <functional>
#include <memory>
#include <string>

namespace adodb {
class Connection;
}

namespace storeadjust {

// The caller's own check that the bill is still what it read and handed over (its lines, its
// state), made on the component's connection.
using SubmissionStillAsRead = std::function<bool(adodb::Connection&)>;

// The bill type code of the warehouse transfer bill in every approval call.
inline constexpr const char* kTransferBillTypeCode = "000022";

class DataScopeProvider {
 public:
  virtual ~DataScopeProvider() = default;

  // The condition restricting column (e.g. "ID", "A.HH") to the items of scopeCode ("0007"
  // warehouses, "0003" goods) the operator may use: empty text, or a continuation of a
  // condition that begins with " and ".
  virtual std::string GetScopeCondition(const std::string& connectionString, const std::string& column,
                                        const std::string& operatorGuid, const std::string& operatorCode,
                                        const std::string& scopeCode) = 0;

  // Hands the bill to its approval flow. Empty text when submitted; otherwise the message the
  // caller shows the user.
  virtual std::string SubmitBill(const std::string& connectionString, const std::string& billTypeCode,
                                 const std::string& billSerial, const std::string& makerGuid,
                                 const std::string& submitterGuid, double totalAmount, double largestLineAmount) = 0;

  // SubmitBill that records the submission only while `stillAsRead` holds, asked inside the
  // transaction that writes the record: another clerk's change landing after the caller read the
  // bill is then never handed over in the caller's name. A component that cannot ask it (a site's
  // own, on a server whose lock the caller's read holds) submits as SubmitBill does.
  virtual std::string SubmitBillAsRead(const std::string& connectionString, const std::string& billTypeCode,
                                       const std::string& billSerial, const std::string& makerGuid,
                                       const std::string& submitterGuid, double totalAmount,
                                       double largestLineAmount, const SubmissionStillAsRead& stillAsRead) {
    (void)stillAsRead;
    return SubmitBill(connectionString, billTypeCode, billSerial, makerGuid, submitterGuid, totalAmount,
                      largestLineAmount);
  }

  // True when the bill has passed its approval flow and may be audited.
  virtual bool IsApproved(const std::string& connectionString, const std::string& billTypeCode,
                          const std::string& billSerial) = 0;

  // Sets editable: true when the approval flow does not hold the bill, so it may be changed or
  // deleted.
  virtual void IsBillEditable(const std::string& connectionString, const std::string& billTypeCode,
                              const std::string& billSerial, bool& editable) = 0;
};

// IsBillEditable of a transfer bill, as a value. The commands that change or delete a bill ask it
// again inside their transaction, after the clerk's questions: the component reads on its own
// connection what a manager approved or a clerk submitted meanwhile.
inline bool TransferBillEditable(DataScopeProvider& provider, const std::string& connectionString,
                                 const std::string& billSerial) {
  bool editable = false;
  provider.IsBillEditable(connectionString, kTransferBillTypeCode, billSerial, editable);
  return editable;
}

using DataScopeProviderFactory = std::function<std::unique_ptr<DataScopeProvider>()>;

// A new provider from the current factory (the embedded, table-driven one unless replaced).
std::unique_ptr<DataScopeProvider> CreateDataScopeProvider();

// Replaces the factory (a site's own component, a test's stand-in); an empty factory restores
// the embedded one. Returns the factory that was in place.
DataScopeProviderFactory SetDataScopeProviderFactory(DataScopeProviderFactory factory);

}  // namespace storeadjust
