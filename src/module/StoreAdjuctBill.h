#pragma once
// The module's one host-facing class. The host sets the session through the write-only property
// setters and runs the whole module through Execute: open the session connection, load the
// system settings, look up the operator, show the bill browser modally, close the connection.
// Execute never throws: a failure is shown (48, "系统提示") and ends it. Destroying the object
// closes a connection that is still open. Not copyable: it owns the session.
#include <cstdint>
#include <functional>
#include <string>

#include "adodb/Date.h"
#include "host/Session.h"
#include "host/UserInterface.h"

namespace storeadjust {

class StoreAdjuctBill {
 public:
  explicit StoreAdjuctBill(UserInterface& ui);
  ~StoreAdjuctBill();
  StoreAdjuctBill(const StoreAdjuctBill&) = delete;
  StoreAdjuctBill& operator=(const StoreAdjuctBill&) = delete;

  // Property setters: each replaces its session value; none validates or touches the database.
  void SetNetInfo(std::string value) { session_.NetInfo = std::move(value); }
  void SetIsLegacyHost(bool value) { session_.IsLegacyHost = value; }
  void SetNetHandle(std::int16_t value) { session_.NetHandle = value; }
  void SetSysDate(const adodb::Date& value) { session_.SysDate = value; }
  void SetCommandTimeout(std::int16_t value) { session_.CommandTimeout = value; }
  void SetConnStr(std::string value) { session_.ConnStr = std::move(value); }
  void SetOptCode(std::string value) { session_.OptCode = std::move(value); }
  void SetOptName(std::string value) { session_.OptName = std::move(value); }
  void SetisNotPh(bool value) { session_.isNotPh = value; }
  void SetEditionId(std::int16_t value) { session_.EditionId = value; }
  void SetCategory(std::string value) { session_.Category = std::move(value); }

  // Runs the module; returns when the browser has been closed, or after a failure was shown.
  void Execute();

  // Shows the bill browser modally for the open session and returns when the user closes it.
  // The constructor sets it to the module's browser; left empty, Execute ends after the
  // operator look-up.
  std::function<void(Session&)> ShowBrowser;

  Session& GetSession() { return session_; }
  const Session& GetSession() const { return session_; }

 private:
  void RunSteps();
  void RequireModuleSchema();
  void CloseConnection();

  Session session_;
};

}  // namespace storeadjust
