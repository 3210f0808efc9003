#include "adodb/SqliteBackend.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "support/ErrorOf.h"
#include "support/TempDatabase.h"
#include "adodb/Command.h"
#include "adodb/ConnectionString.h"
#include "adodb/Error.h"
#include "adodb/Recordset.h"
#include "adodb/StoredProcedures.h"

using namespace adodb;

namespace {

using testsupport::ErrorOf;

class SqliteBackendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    conn = db.Open();
    conn->Execute("create table t (id int primary key, sl money not null)");
    conn->Execute("insert into t values (1, 0)");
  }
  double ValueOf(Connection& connection) {
    auto self = std::shared_ptr<Connection>(&connection, [](Connection*) {});
    return self->OpenRecordset("select sl from t where id = 1")->Value(0).AsDouble();
  }

  testsupport::TempDatabase db;
  std::shared_ptr<Connection> conn;
};

}  // namespace

TEST_F(SqliteBackendTest, ConnectionStringsTheProviderRefusesSayWhy) {
  Connection other;
  const Error unknown = ErrorOf([&] { other.Open("Provider=SQLOLEDB.1;Data Source=server"); });
  EXPECT_EQ(unknown.Description(), "Provider cannot be found. It may not be properly installed.");
  const Error missing = ErrorOf([&] { other.Open("Provider=SQLite;Data Source=" + db.Path() + ".missing"); });
  EXPECT_EQ(missing.Description(), "unable to open database file");
  EXPECT_EQ(other.State(), adStateClosed);
  other.Open("provider = {SQLite}; DATA SOURCE={" + db.Path() + "}");
  EXPECT_EQ(other.State(), adStateOpen);
}

TEST_F(SqliteBackendTest, AFileTheUserMayOnlyReadOpensReadOnly) {
  if (geteuid() == 0) GTEST_SKIP() << "file permissions do not bind the superuser";
  conn->Close();
  std::filesystem::permissions(db.Path(), std::filesystem::perms::owner_read);
  Connection readOnly;
  readOnly.Open(db.ConnStr());
  EXPECT_EQ(ValueOf(readOnly), 0);
  const Error write = ErrorOf([&] { readOnly.Execute("update t set sl = 1"); });
  EXPECT_EQ(write.Description(), "attempt to write a readonly database");
}

TEST_F(SqliteBackendTest, AnEmbeddedPathHoldingSeparatorsQuotesAndBracesOpensThatFile) {
  conn->Close();  // writes the table back from the WAL into the file copied
  const std::string path = (db.Folder() / "a;b'c\"d{e}}f.db").string();
  std::filesystem::copy_file(db.Path(), path);
  conn = db.Open();
  Connection other;
  other.Open("Provider=SQLite;Data Source=" + ConnectionString::Quoted(path));
  other.Execute("update t set sl = 9 where id = 1");
  EXPECT_EQ(ValueOf(other), 9);
  EXPECT_EQ(ValueOf(*conn), 0);
}

TEST_F(SqliteBackendTest, ViolationsAndRefusedStatementsCarryTheProvidersText) {
  const Error duplicate = ErrorOf([&] { conn->Execute("insert into t values (1, 5)"); });
  EXPECT_EQ(duplicate.Number(), errnum::kIntegrityViolation);
  EXPECT_NE(duplicate.Description().find("UNIQUE constraint failed"), std::string::npos);
  const Error notNull = ErrorOf([&] { conn->Execute("insert into t values (2, null)"); });
  EXPECT_EQ(notNull.Number(), errnum::kIntegrityViolation);
  const Error refused = ErrorOf([&] { conn->Execute("update nosuch set sl = 1"); });
  EXPECT_EQ(refused.Number(), errnum::kSyntaxOrAccess);
  EXPECT_EQ(refused.Description(), "no such table: nosuch");
  const Error unknownName = ErrorOf([&] { conn->Execute("update t set sl = 1 where [id] = \"nosuch\""); });
  EXPECT_EQ(unknownName.Description(), "Invalid column name 'nosuch'.");
  // TRUE is no literal in T-SQL; SQLite would have read it as 1.
  EXPECT_EQ(ErrorOf([&] { conn->Execute("select TRUE from t"); }).Description(), "Invalid column name 'TRUE'.");
  EXPECT_EQ(conn->Execute("update t set sl = 2 where id = 1"), 1);
  EXPECT_EQ(conn->Execute("create table u (a int)"), 0);
  EXPECT_EQ(conn->Execute("select * from t"), -1);
}

TEST_F(SqliteBackendTest, StoredProceduresRunRegisteredHandlersOnTheCallingSession) {
  RegisterStoredProcedure("CountRowsOfT", [](Backend& backend, std::vector<std::shared_ptr<Parameter>>& parameters) {
    const ResultSet result = backend.Query("select count(*) from t where sl >= " + backend.Literal(parameters[0]->Value()));
    parameters[1]->SetValue(result.rows[0][0]);
  });
  Command command;
  command.ActiveConnection = conn;
  command.CommandText = "dbo.countrowsoft";
  command.Append(command.CreateParameter("@min", adCurrency, adParamInput, 0, Variant::Currency(0)));
  command.Append(command.CreateParameter("@count", adInteger, adParamOutput));
  command.Execute();
  EXPECT_EQ(command.Parameters("count").Value().AsInt32(), 1);

  command.CommandText = "AuditingNothing";
  const Error unknown = ErrorOf([&] { command.Execute(); });
  EXPECT_EQ(unknown.Description(), "Could not find stored procedure 'AuditingNothing'.");
}
