#include "host/DataHelpers.h"

#include <exception>
#include <limits>

#include "adodb/Error.h"
#include "host/ErrorText.h"
#include "host/MessageTitles.h"
#include "host/TypeGroups.h"
#include "host/UserInterface.h"

namespace storeadjust {

namespace {

// Called from a catch block. Inside a transaction nothing may be shown, since a box left open
// would hold the database's locks for every other clerk: the error goes on to the command that
// opened the transaction, which rolls it back and speaks once it is closed.
void Report(Session& session, const std::exception& e, int icon, const std::string& title) {
  if (session.Conn && session.Conn->InTransaction()) throw;
  if (session.Ui) session.Ui->MsgBox(ErrorText(e), icon, title);
}

std::shared_ptr<adodb::Connection> RequireConnection(Session& session) {
  if (!session.Conn) throw adodb::Error::Closed();
  return session.Conn;
}

std::shared_ptr<adodb::Recordset> OpenSnapshot(const std::string& sql, const adodb::BoundValues& values,
                                               const std::shared_ptr<adodb::Connection>& conn, adodb::LockType lock) {
  auto rs = std::make_shared<adodb::Recordset>();
  rs->Open(sql, values, conn, adodb::adOpenStatic, lock);
  return rs;
}

// The openers hand back a clone and close the set they read, so the caller owns a set of its
// own position; the clone keeps the lock type of its source.
std::shared_ptr<adodb::Recordset> CloneAndClose(adodb::Recordset& source) {
  auto clone = source.Clone(adodb::adLockUnspecified);
  source.Close();
  return clone;
}

std::shared_ptr<adodb::Recordset> OpenClonedOn(Session& session, const std::string& sql,
                                               const adodb::BoundValues& values,
                                               const std::shared_ptr<adodb::Connection>& conn,
                                               adodb::LockType lock) {
  try {
    auto rs = OpenSnapshot(sql, values, conn, lock);
    return CloneAndClose(*rs);
  } catch (const std::exception& e) {
    Report(session, e, mb::kCritical, "Error:");
    return nullptr;
  }
}

}  // namespace

std::shared_ptr<adodb::Connection> OpenOwnConnection(const std::string& connectionString) {
  auto conn = std::make_shared<adodb::Connection>();
  conn->Open(connectionString, "", "", -1);
  return conn;
}

adodb::Variant GetFieldValue(Session& session, const std::string& sql, const std::string& field,
                             const adodb::BoundValues& values) {
  try {
    auto rs = OpenSnapshot(sql, values, RequireConnection(session), adodb::adLockReadOnly);
    adodb::Variant result;
    if (rs->RecordCount() >= 1) {
      rs->MoveFirst();
      adodb::Field column = rs->Fields(field);
      result = column.Value();
      if (result.IsNull()) result = DefaultOfGroup(FieldValueTypeGroup(column.Type()));
    } else {
      result = DefaultOfGroup(FieldValueTypeGroup(rs->Fields(field).Type()));
    }
    rs->Close();
    return result;
  } catch (const std::exception& e) {
    Report(session, e, mb::kExclamation, kSystemTitle);
    return adodb::Variant();
  }
}

std::shared_ptr<adodb::Recordset> OpenRsReadOnly(Session& session, const std::string& sql,
                                                 const adodb::BoundValues& values) {
  return OpenClonedOn(session, sql, values, session.Conn, adodb::adLockReadOnly);
}

std::shared_ptr<adodb::Recordset> OpenRsEditable(Session& session, const std::string& sql,
                                                 const adodb::BoundValues& values) {
  return OpenClonedOn(session, sql, values, session.Conn, adodb::adLockOptimistic);
}

std::shared_ptr<adodb::Recordset> OpenRsSeparate(Session& session, const std::string& sql,
                                                 const adodb::BoundValues& values) {
  std::shared_ptr<adodb::Connection> own;
  try {
    own = OpenOwnConnection(session.ConnStr);
  } catch (const std::exception& e) {
    Report(session, e, mb::kCritical, "Error:");
    return nullptr;
  }
  return OpenClonedOn(session, sql, values, own, adodb::adLockOptimistic);
}

std::shared_ptr<adodb::Recordset> OpenRsWithConnStr(Session& session, const std::string& sql,
                                                    const std::string& connectionString,
                                                    const adodb::BoundValues& values) {
  try {
    return OpenSnapshot(sql, values, OpenOwnConnection(connectionString), adodb::adLockReadOnly);
  } catch (const std::exception& e) {
    Report(session, e, mb::kInformation, kSystemTitle);
    return nullptr;
  }
}

std::int16_t CountRecords(Session& session, const std::string& sql, const adodb::BoundValues& values) {
  try {
    auto rs = OpenSnapshot(sql, values, RequireConnection(session), adodb::adLockReadOnly);
    long count = rs->RecordCount();
    rs->Close();
    if (count < 1) return 0;
    if (count > std::numeric_limits<std::int16_t>::max()) throw adodb::Error::Overflow();
    return static_cast<std::int16_t>(count);
  } catch (const std::exception& e) {
    Report(session, e, mb::kExclamation, kSystemTitle);
    return 0;
  }
}

}  // namespace storeadjust
