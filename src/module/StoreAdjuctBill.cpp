#include "module/StoreAdjuctBill.h"

#include <exception>
#include <memory>

#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "browse/ShowBillBrowser.h"
#include "db/OpenFailureText.h"
#include "db/PasswordTable.h"
#include "db/SchemaCheck.h"
#include "host/DataHelpers.h"
#include "host/EmbeddedProcedures.h"
#include "host/ErrorText.h"
#include "host/SessionConnection.h"
#include "host/Settings.h"

namespace storeadjust {

StoreAdjuctBill::StoreAdjuctBill(UserInterface& ui) : ShowBrowser(ShowBillBrowser) { session_.Ui = &ui; }

StoreAdjuctBill::~StoreAdjuctBill() {
  try {
    CloseConnection();
  } catch (...) {
  }
}

void StoreAdjuctBill::Execute() {
  try {
    RunSteps();
    CloseConnection();
  } catch (const std::exception& e) {
    session_.Ui->MsgBox(ErrorText(e), mb::kExclamation, "系统提示");
    try {
      CloseConnection();
    } catch (...) {
    }
  }
}

void StoreAdjuctBill::RunSteps() {
  // The embedded database answers the ERP's stored procedures with handlers of our own.
  RegisterEmbeddedProcedures();
  // Opening switches an embedded file's journal to WAL: another program's file is refused first,
  // from a read-only look, with its bytes as they were.
  if (const auto file = adodb::EmbeddedDatabaseFile(session_.ConnStr)) db::RequireModuleSchemaInFile(*file);
  // The SQLite ODBC driver would make a missing file empty, to be refused for a table it lacks.
  if (const auto missing = db::MissingOdbcFileText(session_.ConnStr)) throw adodb::Error::Provider(*missing);
  OpenSessionConnection(session_);
  if (session_.Conn->State() == adodb::adStateClosed) return;
  RequireModuleSchema();
  LoadSystemSettings(session_);
  session_.OptGuid =
      GetFieldValue(session_, "Select Guid From Operators Where Code=?", "Guid", {adodb::BoundText(session_.OptCode)})
          .TextOrEmpty();
  if (ShowBrowser) ShowBrowser(session_);
}

// An embedded file is the module's own database only when it holds the module's schema; another
// SQLite file would fail at every read with a box of its own. A server's schema is the ERP's.
// A file an older version made is then brought up to date: without the triggers that hold dates
// and decimals in their stored form, what the module writes would not be read back as it meant.
void StoreAdjuctBill::RequireModuleSchema() {
  if (const auto file = adodb::EmbeddedDatabaseFile(session_.ConnStr)) {
    db::RequireModuleSchema(*session_.Conn, *file);
    db::EnsureStoredFormTriggers(*session_.Conn);
  }
}

void StoreAdjuctBill::CloseConnection() {
  if (auto lists = std::move(session_.ListConn); lists && lists->State() == adodb::adStateOpen) lists->Close();
  if (!session_.Conn) return;
  auto conn = std::move(session_.Conn);
  session_.Conn.reset();
  if (conn->State() == adodb::adStateOpen) conn->Close();
}

}  // namespace storeadjust
