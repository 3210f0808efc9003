#include "adodb/SqliteBackend.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

#include "support/ErrorOf.h"
#include "support/TempDatabase.h"
#include "adodb/BoundValues.h"
#include "adodb/Command.h"
#include "adodb/ConnectionString.h"
#include "adodb/Error.h"
#include "adodb/Recordset.h"

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
  // The first value of the query's first row, on the connection under test.
  double Number(const std::string& sql) { return conn->OpenRecordset(sql)->Value(0).AsDouble(); }

  testsupport::TempDatabase db;
  std::shared_ptr<Connection> conn;
};

}  // namespace

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
  Connection spelled;  // keys in any case, blanks around them, values in braces
  spelled.Open("provider = {SQLite}; DATA SOURCE={" + db.Path() + "}");
  EXPECT_EQ(ValueOf(spelled), 0);
}

// A name that is no column and a procedure that is not there are refused in the server's words.
// A duplicate key's number: LineSavingTest (OnlyADuplicateKeyIsTakenForAnotherClerkAtTheSameMoment);
// a table that is not there, in the provider's words: DataHelpersTest and the editor's failures.
TEST_F(SqliteBackendTest, AnUnknownColumnOrProcedureIsRefusedInTheServersWords) {
  const Error unknownName = ErrorOf([&] { conn->Execute("update t set sl = 1 where [id] = \"nosuch\""); });
  EXPECT_EQ(unknownName.Description(), "Invalid column name 'nosuch'.");
  EXPECT_EQ(conn->Execute("update t set sl = 2 where id = 1"), 1);
  Command command;  // registered procedures are played end to end by the audit scenarios
  command.ActiveConnection = conn;
  command.CommandText = "AuditingNothing";
  EXPECT_EQ(ErrorOf([&] { command.Execute(); }).Description(), "Could not find stored procedure 'AuditingNothing'.");
}

// A full disk (the file may not grow past its size) and a file that may only be read are told
// apart from a statement the database refuses: the clerk can do something about them.
TEST_F(SqliteBackendTest, AFullDiskOrAReadOnlyFileIsAHindranceNotARefusedStatement) {
  conn->Execute("create table big (bz text)");
  sqlite3* handle = dynamic_cast<SqliteBackend&>(conn->GetBackend()).Handle();
  ASSERT_EQ(sqlite3_exec(handle, "PRAGMA max_page_count=1", nullptr, nullptr, nullptr), SQLITE_OK);
  const Error full = ErrorOf([&] { conn->Execute("insert into big values (?)", {BoundText(std::string(100000, 'x'))}); });
  EXPECT_EQ(full.GetHindrance(), Error::Hindrance::DiskFull) << full.Description();
  ASSERT_EQ(sqlite3_exec(handle, "PRAGMA query_only=1", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_EQ(ErrorOf([&] { conn->Execute("update t set sl = 2"); }).GetHindrance(), Error::Hindrance::ReadOnlyFile);
  EXPECT_EQ(ErrorOf([&] { conn->Execute("update nosuch set sl = 1"); }).GetHindrance(), Error::Hindrance::None);
}

// A batch runs its statements in order on the connection: its variables hold their values from
// statement to statement. A quote in a variable's text stays text. An assignment returns no rows:
// the batch's rows are its last select's. TRUE read as a column is the translator's:
// tsql/dateparts.test.
TEST_F(SqliteBackendTest, ABatchKeepsItsVariablesFromStatementToStatement) {
  conn->Execute("insert into t values (2, 5), (3, 7)");
  auto rows = conn->OpenRecordset(
      "declare @least money = 1, @name varchar(20) = 'it''s'\n"
      "select @least = min(sl) from t where sl > 0\n"
      "select id, @name as name from t where sl = @least");
  ASSERT_EQ(rows->RecordCount(), 1);
  EXPECT_EQ(rows->Value(0).AsInt32(), 2);
  EXPECT_EQ(rows->Value(1).TextOrEmpty(), "it's");

  EXPECT_EQ(conn->Execute("declare @sl money = 9; update t set sl = @sl where id in (2, 3)"), 2);
  EXPECT_EQ(Number("select sum(sl) from t"), 18);
  // Each batch declares its own: a variable of an earlier batch is not there to read.
  EXPECT_NE(ErrorOf([&] { conn->OpenRecordset("select @sl"); }).Description().find("outside a batch"), std::string::npos);
  // A later statement that reads only later values takes them: each binds its own marks.
  rows = conn->OpenRecordset("declare @least money = ?\nselect id from t where sl > @least and id < ?",
                             {BoundInteger(8), BoundInteger(3)});
  ASSERT_EQ(rows->RecordCount(), 1);
  EXPECT_EQ(rows->Value(0).AsInt32(), 2);
}

// A statement kept for its text reads its columns once; a schema change, made here or by another
// connection, shows from the next result on: new columns, their types, the keys an edit finds rows by
// (by an old key, an edit of one row would change every row sharing that value).
TEST_F(SqliteBackendTest, AKeptStatementShowsTheColumnsOfTheSchemaItRunsOn) {
  const auto columnsOf = [](const std::shared_ptr<Connection>& connection, bool withKeys) {
    std::string shown;
    auto rs = connection->OpenRecordset("select * from t");
    for (const ColumnInfo& column : rs->Columns())
      shown += column.name + ":" + std::to_string(column.type) + (withKeys && column.isKey ? "*" : "") + " ";
    return shown;
  };
  EXPECT_EQ(columnsOf(conn, true), "id:" + std::to_string(adInteger) + "* sl:" + std::to_string(adCurrency) + " ");
  conn->Execute("create table t2 (k varchar(10) primary key, n int)");
  conn->Execute("drop table t");
  conn->Execute("create table t (id int null, k varchar(10) primary key, sl money null)");
  EXPECT_EQ(columnsOf(conn, true), columnsOf(db.Open(), true));
  EXPECT_EQ(columnsOf(conn, true), columnsOf(db.Open(), true));
  auto other = db.Open();
  other->Execute("alter table t add column pm varchar(20) null");
  EXPECT_EQ(columnsOf(conn, false), columnsOf(db.Open(), false));
  other->Execute("drop table t");
  other->Execute("create table t (id int primary key, k varchar(10), sl money null)");
  EXPECT_EQ(columnsOf(conn, true), columnsOf(db.Open(), true));
}

// A text longer than its column is refused as the server refuses it, whichever way the row is
// written: nvarchar counts characters, varchar the bytes of the server's Chinese code page. A value
// stored too long by another program does not keep its row from other changes, and a table made
// on another connection is checked as well.
TEST_F(SqliteBackendTest, ATextLongerThanItsColumnIsRefusedAsTheServerRefusesIt) {
  conn->Execute("create table s (k int, v varchar(4), n nvarchar(3), m varchar(max))");
  conn->Execute("insert into s values (1, '汉字', '汉字汉', ?)", {BoundText(std::string(5000, 'x'))});
  EXPECT_EQ(ErrorOf([&] { conn->Execute("insert into s (k, v) values (2, ?)", {BoundText("汉字a")}); }).Description(),
            "String or binary data would be truncated in table 's', column 'v'. Truncated value: '汉字'.");
  EXPECT_EQ(ErrorOf([&] { conn->Execute("update s set n = n + 'x' where k = 1"); }).Description(),
            "String or binary data would be truncated in table 's', column 'n'. Truncated value: '汉字汉'.");
  sqlite3* raw = nullptr;
  sqlite3_open(db.Path().c_str(), &raw);
  sqlite3_exec(raw, "update s set v = 'abcdefgh'; create table u (c char(2))", nullptr, nullptr, nullptr);
  sqlite3_close(raw);
  conn->Execute("update s set n = 'ab', v = v where k = 1");
  EXPECT_EQ(ErrorOf([&] { conn->Execute("insert into u values ('abc')"); }).Description(),
            "String or binary data would be truncated in table 'u', column 'c'. Truncated value: 'ab'.");
  // Checked once under the write lock, the table made inside the same transaction is checked too.
  conn->BeginTrans();
  conn->Execute("insert into u values ('ab')");
  conn->Execute("create table w (c nchar(1))");
  EXPECT_EQ(ErrorOf([&] { conn->Execute("insert into w values ('ab')"); }).Description(),
            "String or binary data would be truncated in table 'w', column 'c'. Truncated value: 'a'.");
  conn->RollbackTrans();
}

// A caller is told the rows an UPDATE, DELETE or INSERT with OUTPUT ... INTO changed, not also
// those it wrote INTO the table; and one that fails half-way leaves nothing behind that writes
// there on later changes of its table, or fails them once that table is gone.
TEST_F(SqliteBackendTest, AStatementWithOutputIntoCountsOnlyTheRowsItChanged) {
  conn->Execute("insert into t values (2, 5), (3, 7), (4, 9)");
  conn->Execute("create table logged (id int, was money, now money)");
  // A trigger of the table's own deletes row 0 with row 4: only the statement's rows are output.
  sqlite3* raw = nullptr;
  sqlite3_open(db.Path().c_str(), &raw);
  sqlite3_exec(raw, "insert into t values (0, 0); create trigger pair after delete on t when old.id = 4 "
               "begin delete from t where id = 0; end", nullptr, nullptr, nullptr);
  sqlite3_close(raw);
  EXPECT_EQ(conn->Execute("update t set sl = sl + ? output inserted.id, deleted.sl, inserted.sl into logged "
                          "where id >= ?",
                          {BoundInteger(1), BoundInteger(3)}),
            2);
  EXPECT_EQ(conn->Execute("delete from t output deleted.id, deleted.sl, ? into logged where id = ?",
                          {BoundNull(), BoundInteger(4)}),
            1);
  EXPECT_EQ(conn->Execute("insert into t (id, sl) output inserted.id, ? * 0, inserted.sl * ? into logged values (?, 1), (8, 2)",
                          {BoundInteger(5), BoundInteger(1), BoundInteger(7)}),
            2);
  EXPECT_EQ(conn->Execute("declare @log table (id int)\n"
                          "update t set sl = 0 output inserted.id into @log where id > 2\n"
                          "select count(*) from @log"),
            3);
  EXPECT_EQ(Number("select count(*) from logged"), 2 + 1 + 2);
  EXPECT_EQ(Number("select sum(was) + sum(now) from logged"), (7 + 9) + (8 + 10) + 10 + (1 + 2));

  const std::string moveAll = "update t set id = ? output inserted.id, deleted.sl, inserted.sl into logged";
  EXPECT_NE(ErrorOf([&] { conn->Execute(moveAll, {BoundInteger(9)}); }).Description().find("UNIQUE"), std::string::npos);
  EXPECT_EQ(conn->Execute("update t set sl = sl + 1"), 5);
  EXPECT_EQ(Number("select count(*) from logged"), 5);
  conn->Execute("drop table logged");
  EXPECT_EQ(conn->Execute("update t set sl = sl + 1"), 5);
  EXPECT_EQ(Number("select count(*) from sqlite_temp_master where name = 'tsql_output'"), 0);
}

// A column takes the name the server gives it: an expression without an alias has none, so a
// site's list never shows the dialect's own spelling of its expression as a caption.
TEST_F(SqliteBackendTest, AnExpressionWithoutAnAliasNamesNoColumnAsOnTheServer) {
  const auto names = [&](const std::string& sql) {
    const auto rs = conn->OpenRecordset(sql);
    std::string joined;
    for (std::size_t i = 0; i < rs->FieldCount(); ++i) joined += (i ? "|" : "") + rs->Fields(i).Name();
    return joined;
  };
  EXPECT_EQ(names("select id, t.sl, isnull(sl, 0), sl + '', 1, n = id, id as k, id 'q', (select max(id) from t) from t"),
            "id|sl||||n|k|q|");
  EXPECT_EQ(names("select * from (select id, sl * 2 as d from t) x"), "id|d");
  EXPECT_EQ(names("select count(*), id from t group by id union all select id + 1 as n, 2 as m from t"), "|id");
  EXPECT_EQ(names("select x.a from (select count(*) from t) x (a)"), "a");
  EXPECT_EQ(names("select top 1 id + 1, id + 2 from t union all select top 50 percent 1, 2 from t"), "|");
  EXPECT_EQ(ErrorOf([&] { conn->OpenRecordset("select * from (select id, count(*) from t group by id) d"); }).Description(),
            "No column name was specified for column 2 of 'd'.");
  EXPECT_EQ(ErrorOf([&] { conn->OpenRecordset("with c as (select id + 1 from t) select * from c"); }).Description(),
            "No column name was specified for column 1 of 'c'.");
  EXPECT_EQ(ErrorOf([&] { conn->OpenRecordset("select t.id from t cross apply (select s.sl + 1 from t s where s.id = t.id) x"); })
                .Description(),
            "No column name was specified for column 1 of 'x'.");
  EXPECT_EQ(names("select id, sum(sl) from t group by rollup (id)"), "id|");
  EXPECT_EQ(ErrorOf([&] { conn->Execute("select id, sl + 1 into #n from t"); }).Description(),
            "An object or column name is missing or empty. For SELECT INTO statements, verify each column has a name. "
            "For other statements, look for empty alias names. Aliases defined as \"\" or [] are not allowed. Change "
            "the alias to a valid name.");
}
