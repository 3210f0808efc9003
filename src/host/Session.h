#pragma once
// The session values every part of the module reads: what the host set through the class's
// properties, and what Execute and the browser's load fill in. One Session per loaded
// component, owned by the host class and handed by reference to the screens.
#include <cstdint>
#include <memory>
#include <string>

#include "adodb/Connection.h"
#include "adodb/Date.h"
#include "adodb/Recordset.h"
#include "host/SessionSettings.h"
#include "host/UserInterface.h"

namespace storeadjust {

struct Session {
  // Set by the host.
  std::string NetInfo;
  bool IsLegacyHost = false;
  std::int16_t NetHandle = 0;
  adodb::Date SysDate{};  // date zero (1899-12-30) until the host sets it
  std::int16_t CommandTimeout = 0;
  std::string ConnStr;
  std::string OptCode;
  std::string OptName;
  bool isNotPh = false;
  std::int16_t EditionId = 0;
  std::string Category;

  // Set by Execute and the browser's load.
  std::shared_ptr<adodb::Connection> Conn;
  // The selection dialog's connection of its own, opened from ConnStr on its first list and kept
  // for the next: opening one costs more than a short list (the embedded provider reads the
  // schema anew), and a clerk opens lists all day. It never sees Conn's transaction.
  std::shared_ptr<adodb::Connection> ListConn;
  std::string OptGuid;
  SessionSettings Settings;
  std::string ModuleRightGuid;
  std::string DataScopeFlags;
  std::shared_ptr<adodb::Recordset> SysVarRs;

  // The one interface through which the user is interrupted.
  UserInterface* Ui = nullptr;
};

}  // namespace storeadjust
