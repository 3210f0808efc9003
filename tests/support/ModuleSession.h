#pragma once
// Sessions for the module's tests, on a TempDatabase or on a database file by its connection
// string: the connection open and the given user interface; the browser's as the host hands it
// over (operator 001, business date 2024-03-05); the editor's as the browser hands it on (right
// model, sys_var row, the operator given).
#include <string>

#include "adodb/Connection.h"
#include "db/DatabaseFactory.h"
#include "host/ScriptedUserInterface.h"
#include "host/Session.h"
#include "host/SessionConnection.h"
#include "support/ShownBoxes.h"
#include "support/TempDatabase.h"

namespace testsupport {

inline constexpr const char* kModuleRightGuid = "{6B1F0A42-0402-4C3E-9A10-A10402000001}";

// A scripted interface is told to refuse any question while the session's connection is inside
// a transaction (the module asks first, then acts).
inline storeadjust::Session OpenSession(const std::string& connStr, storeadjust::UserInterface& ui) {
  storeadjust::Session session;
  session.ConnStr = connStr;
  session.Ui = &ui;
  storeadjust::OpenSessionConnection(session);
  if (auto* scripted = dynamic_cast<storeadjust::ScriptedUserInterface*>(&ui)) {
    scripted->InTransaction = [watched = std::weak_ptr<adodb::Connection>(session.Conn)] {
      const auto connection = watched.lock();
      return connection && connection->InTransaction();
    };
  }
  return session;
}
inline storeadjust::Session OpenSession(const TempDatabase& db, storeadjust::UserInterface& ui) {
  return OpenSession(db.ConnStr(), ui);
}

inline storeadjust::Session OpenBrowserSession(const std::string& connStr, storeadjust::UserInterface& ui,
                                               const std::string& operatorCode = "001") {
  storeadjust::Session session = OpenSession(connStr, ui);
  session.OptCode = operatorCode;
  session.OptName = "系统管理员";
  session.SysDate = adodb::Date{2024, 3, 5};
  return session;
}
inline storeadjust::Session OpenBrowserSession(const TempDatabase& db, storeadjust::UserInterface& ui) {
  return OpenBrowserSession(db.ConnStr(), ui);
}

inline storeadjust::Session OpenEditorSession(const std::string& connStr, storeadjust::UserInterface& ui,
                                              const std::string& operatorCode = "001") {
  storeadjust::Session session = OpenBrowserSession(connStr, ui, operatorCode);
  session.ModuleRightGuid = kModuleRightGuid;
  session.SysVarRs = session.Conn->OpenRecordset("select * from sys_var");
  session.SysVarRs->MoveFirst();
  return session;
}
inline storeadjust::Session OpenEditorSession(const TempDatabase& db, storeadjust::UserInterface& ui,
                                              const std::string& operatorCode = "001") {
  return OpenEditorSession(db.ConnStr(), ui, operatorCode);
}

}  // namespace testsupport
