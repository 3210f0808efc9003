#pragma once
// Sessions on a TempDatabase for the module's tests: the connection open and the given user
// interface; the editor's one as the browser hands it over (right model, sys_var row, business
// date 2024-03-05, the operator given).
#include <string>

#include "adodb/Connection.h"
#include "db/DatabaseFactory.h"
#include "host/ScriptedUserInterface.h"
#include "host/Session.h"
#include "support/ShownBoxes.h"
#include "support/TempDatabase.h"

namespace testsupport {

inline constexpr const char* kModuleRightGuid = "{6B1F0A42-0402-4C3E-9A10-A10402000001}";

// A scripted interface is told to refuse any question while the session's connection is inside
// a transaction (the module asks first, then acts).
inline storeadjust::Session OpenSession(const TempDatabase& db, storeadjust::UserInterface& ui) {
  storeadjust::Session session;
  session.ConnStr = db.ConnStr();
  session.Ui = &ui;
  session.Conn = db.Open();
  if (auto* scripted = dynamic_cast<storeadjust::ScriptedUserInterface*>(&ui)) {
    scripted->InTransaction = [watched = std::weak_ptr<adodb::Connection>(session.Conn)] {
      const auto connection = watched.lock();
      return connection && connection->InTransaction();
    };
  }
  return session;
}

inline storeadjust::Session OpenEditorSession(const TempDatabase& db, storeadjust::UserInterface& ui,
                                              const std::string& operatorCode = "001") {
  storeadjust::Session session = OpenSession(db, ui);
  session.OptCode = operatorCode;
  session.OptName = "系统管理员";
  session.SysDate = adodb::Date{2024, 3, 5};
  session.ModuleRightGuid = kModuleRightGuid;
  session.SysVarRs = session.Conn->OpenRecordset("select * from sys_var");
  session.SysVarRs->MoveFirst();
  return session;
}

}  // namespace testsupport
