// The ODBC backend against a real SQLite database reached through the SQLite ODBC driver.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>

#include "adodb/Backend.h"
#include "adodb/BoundValues.h"
#include "adodb/Error.h"
#include "adodb/OdbcBackend.h"
#include "adodb/OdbcErrors.h"
#include "adodb/OdbcParameterBinding.h"
#include "adodb/OdbcTsqlExtension.h"
#include "support/ErrorOf.h"
#include "support/TempDatabase.h"

namespace adodb {
namespace {

using testsupport::ErrorOf;

constexpr const char* kSqliteOdbcDriver = "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so";

class OdbcBackendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kSqliteOdbcDriver)) GTEST_SKIP() << "SQLite ODBC driver not installed";
    // Made by the driver alone, so its text columns compare as plain SQLite's, which the
    // connections without the dialect below can read.
    for (const char* sql : {"create table ck (djbh varchar(20) primary key, pm varchar(40), je money, sfjz bit, rq datetime, sl bigint)",
                            "insert into ck values ('CK0001', '阿莫西林胶囊', 12.5, 1, '2024-03-05 10:20:30', 7)",
                            "insert into ck values ('CK0002', 'O''Brien', 3.25, 0, '2024-03-06', NULL)",
                            "insert into ck values ('CK0003', NULL, NULL, NULL, NULL, 0)"})
      Open(false)->Execute(sql);
  }
  std::unique_ptr<Backend> Open(bool dialect = true) const {
    return OpenBackend(std::string("Driver=") + kSqliteOdbcDriver + ";Database=" + db_.Path() + (dialect ? ";Dialect=SQLite" : ""));
  }
  static std::string TextAt(Backend& backend, const std::string& sql) {
    const ResultSet result = backend.Query(sql);
    return result.rows.empty() ? "<no row>" : result.rows[0][0].AsText();
  }

  testsupport::TempDatabase db_;
};

TEST_F(OdbcBackendTest, QueryMaterializesRowsWithDeclaredTypesNullsAndChineseText) {
  const ResultSet result = Open()->Query("select djbh, pm, je, sfjz, rq, sl from ck order by djbh");
  ASSERT_EQ(result.rows.size(), 3u);
  EXPECT_EQ(result.columns[2].type, adCurrency);
  EXPECT_EQ(result.columns[3].type, adBoolean);
  EXPECT_EQ(result.columns[4].type, adDBTimeStamp);
  const Row& first = result.rows[0];
  EXPECT_EQ(first[1].AsText(), "阿莫西林胶囊");
  EXPECT_DOUBLE_EQ(first[2].AsDouble(), 12.5);
  EXPECT_TRUE(first[3].AsBool());
  EXPECT_EQ(first[4].AsDate(), (Date{2024, 3, 5, 10, 20, 30}));
  EXPECT_EQ(result.rows[1][1].AsText(), "O'Brien");
  EXPECT_EQ(result.rows[1][4].AsDate(), (Date{2024, 3, 6}));
  for (int i = 1; i <= 4; ++i) EXPECT_TRUE(result.rows[2][i].IsNull()) << "column " << i;
  // An expression's column takes the type of the first value the driver meets: an integer here.
  const ResultSet expression = Open()->Query("select isnull(je, 0) from ck order by djbh desc");
  EXPECT_DOUBLE_EQ(expression.rows[2][0].AsDouble(), 12.5);
  // A value that is not of its column's type (another program wrote it) is the text it is, as the
  // embedded database reads it, never NULL.
  Open(false)->Execute("insert into ck values ('CK0004', NULL, 'n/a', 'yes', '', 1)");
  const ResultSet odd = Open()->Query("select je, sfjz, rq from ck where djbh = 'CK0004'");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(odd.rows[0][i].Type(), VariantType::Text) << "column " << i;
  EXPECT_EQ(odd.rows[0][0].AsText() + odd.rows[0][1].AsText(), "n/ayes");
  // A date an expression gives is a date, as the embedded database reads it: a day alone, midnight.
  const ResultSet dates = Open()->Query("select dateadd(day, 1, rq), max(rq) from ck where djbh = 'CK0001'");
  EXPECT_EQ(dates.columns[0].type, adDBTimeStamp);
  EXPECT_EQ(dates.rows[0][0].AsDate(), (Date{2024, 3, 6, 10, 20, 30}));
  EXPECT_EQ(dates.rows[0][1].Type(), VariantType::Date);
  EXPECT_EQ(TextAt(*Open(), "select isnull(rq, '') from ck where djbh = 'CK0003'"), Variant(Date{1900, 1, 1}).AsText());
}

// A rollback, and a close inside a transaction, leave nothing behind; a commit is seen by another
// connection. Refusals carry their number and the data source's words, without the ODBC components'.
TEST_F(OdbcBackendTest, TransactionsCommitOrLeaveNoChangeAndRefusalsSayWhy) {
  {
    auto dropped = Open();  // closed inside its transaction
    dropped->BeginTransaction();
    dropped->Execute("delete from ck");
  }
  auto backend = Open();
  backend->BeginTransaction();
  backend->Execute("update ck set sl = 100 where djbh = 'CK0001'");
  backend->Execute("insert into ck (djbh, sl) values ('CK0009', 1)");
  backend->RollbackTransaction();
  EXPECT_FALSE(backend->InTransaction());
  EXPECT_EQ(TextAt(*backend, "select sl from ck where djbh = 'CK0001'"), "7");
  EXPECT_EQ(TextAt(*backend, "select count(*) from ck"), "3");
  backend->BeginTransaction();
  backend->Execute("update ck set sl = 100 where djbh = 'CK0001'");
  backend->CommitTransaction();
  EXPECT_EQ(TextAt(*Open(), "select sl from ck where djbh = 'CK0001'"), "100");
  // A transaction holds the write lock from its start, as the embedded database's does: another
  // session's cannot begin beside it (Timeout=1: that session gives up at once), and is told the
  // file is held by another program, as SQL Server's session is when its lock wait runs out.
  backend->BeginTransaction();
  auto other = OpenBackend(std::string("Driver=") + kSqliteOdbcDriver + ";Database=" + db_.Path() + ";Timeout=1;Dialect=SQLite");
  EXPECT_EQ(ErrorOf([&] { other->BeginTransaction(); }).GetHindrance(), Error::Hindrance::LockedByOthers);
  const odbc::Diagnostic serverLockWait{"HY000", 1222, "[FreeTDS][SQL Server]Lock request time out period exceeded."};
  EXPECT_EQ(odbc::ErrorFromDiagnostics({serverLockWait}, odbc::NativeErrors::SqlServer, "").GetHindrance(),
            Error::Hindrance::LockedByOthers);
  backend->RollbackTransaction();
  other->BeginTransaction();
  other->RollbackTransaction();

  const Error duplicate = ErrorOf([&] { backend->Execute("insert into ck (djbh) values ('CK0001')"); });
  EXPECT_EQ(duplicate.Number(), errnum::kIntegrityViolation);
  EXPECT_EQ(duplicate.Description(), "UNIQUE constraint failed: ck.djbh");  // the embedded database's words
  const Error refused = ErrorOf([&] { backend->Query("select nosuchcolumn from ck"); });
  EXPECT_EQ(refused.Number(), errnum::kSyntaxOrAccess);
  EXPECT_EQ(refused.Description(), "no such column: nosuchcolumn");
  // A file that may only be read, or a full disk, is told as the embedded database tells it.
  backend->Execute("pragma query_only = 1");
  EXPECT_EQ(ErrorOf([&] { backend->Execute("update ck set sl = ?", {BoundInteger(1)}); }).GetHindrance(),
            Error::Hindrance::ReadOnlyFile);
  const odbc::Diagnostic serverLogFull{"HY000", 9002, "[FreeTDS][SQL Server]The transaction log for database is full."};
  EXPECT_EQ(odbc::ErrorFromDiagnostics({serverLogFull}, odbc::NativeErrors::SqlServer, "").GetHindrance(),
            Error::Hindrance::DiskFull);
  const odbc::Diagnostic linkLost{"08S01", 20004, "[FreeTDS][SQL Server]Read from the server failed"};
  EXPECT_EQ(odbc::ErrorFromDiagnostics({linkLost}, odbc::NativeErrors::SqlServer, "").GetHindrance(),
            Error::Hindrance::ConnectionLost);
  const Error noDriver = ErrorOf([] { OpenOdbcBackend("Driver={NoSuchDriver};Database=x", false); });
  EXPECT_EQ(noDriver.Number(), errnum::kProviderError);
  EXPECT_NE(noDriver.Description().find("[unixODBC][Driver Manager]"), std::string::npos) << noDriver.Description();
}

// With the dialect, statements are translated and find the T-SQL functions, which the driver
// must load or refuse the open; without it they reach the server untouched. A date written
// straight to a server takes the ISO form, which no server date format misreads.
TEST_F(OdbcBackendTest, TheDialectDecidesTranslationAndTheFormOfDates) {
  auto backend = Open();
  EXPECT_EQ(TextAt(*backend, "select isnull(pm, 'none') from ck where djbh = 'CK0003'"), "none");
  // Columns are named as on the embedded database: an expression without an alias has no name.
  std::string names;
  for (const ColumnInfo& column :
       backend->Query("select top 1 djbh, isnull(pm, ''), je + 1, sl as n from ck union all select 'x', '', 1, 2").columns)
    names += column.name + "|";
  EXPECT_EQ(names, "djbh|||n|");
  auto server = Open(false);
  EXPECT_EQ(TextAt(*server, "select ifnull(pm, 'none') from ck where djbh = 'CK0003'"), "none");
  const Variant date(*Date::Parse("2024-03-05 10:20:30"));
  EXPECT_EQ(server->Literal(date), "'2024-03-05T10:20:30'");
  EXPECT_EQ(backend->Literal(date), "'2024-03-05 10:20:30'");
  // Dates compare as text in SQLite: a bound date must take the stored form, or the fixture's
  // row stored at that very second would sort before it.
  EXPECT_EQ(backend->Query("select djbh from ck where rq >= ? and rq <= ?", {BoundDate(date.RawDate()), BoundDate(date.RawDate())})
                .rows.size(),
            1u);
  // A program in a folder whose name the driver would split (a clone in "项目,2024;{1}") loads it too.
  const auto odd = db_.Folder() / "项目,2024;{1}" / "libtsql_sqlite_ext.so";
  std::filesystem::create_directories(odd.parent_path());
  std::filesystem::copy_file(odbc::TsqlExtensionPath(), odd);
  ASSERT_EQ(setenv("STOREADJUST_TSQL_EXT", odd.c_str(), 1), 0);
  EXPECT_EQ(TextAt(*Open(), "select isnull(pm, 'none') from ck where djbh = 'CK0003'"), "none");
  ASSERT_EQ(setenv("STOREADJUST_TSQL_EXT", db_.Path().c_str(), 1), 0);  // exists, but is no library
  EXPECT_THROW(Open(), Error);
  unsetenv("STOREADJUST_TSQL_EXT");
}

// With the dialect a write is held to its columns as on the embedded database: a text past its
// length refused, a number and a date stored as the column's type keeps them, bound values too.
TEST_F(OdbcBackendTest, TheDialectHoldsWhatIsWrittenToTheColumnsTypes) {
  auto backend = Open();
  backend->Execute("update ck set je = 1.23456, sl = 2.7, rq = '20240305' where djbh = 'CK0001'");
  backend->Execute("update ck set je = ? where djbh = 'CK0002'", {BoundDecimal(3.14159, 5)});
  EXPECT_EQ(TextAt(*backend, "select concat(je, '|', sl, '|', rq) from ck where djbh = 'CK0001'"),
            "1.2346|2|Mar  5 2024 12:00AM");
  EXPECT_EQ(TextAt(*backend, "select je from ck where djbh = 'CK0002'"), "3.1416");
  const Error refused = ErrorOf([&] { backend->Execute("insert into ck (djbh) values ('" + std::string(21, 'K') + "')"); });
  EXPECT_NE(refused.Description().find("would be truncated"), std::string::npos) << refused.Description();
}

// Values bound to the marks reach the driver as typed parameters, texts as wide characters:
// a quote is a character, Chinese text comes back unchanged, a 64-bit integer keeps its digits
// and a decimal its scale; with the dialect and without.
TEST_F(OdbcBackendTest, BoundValuesArriveTypedWithTextsAsWideCharacters) {
  for (const bool dialect : {true, false}) {
    auto backend = Open(dialect);
    const std::string key = dialect ? "CK1" : "CK2";
    EXPECT_EQ(backend->Execute("insert into ck (djbh, pm, je, sl, rq) values (?, ?, ?, ?, ?)",
                               {BoundText(key), BoundText("O'Brien 阿莫西林"), BoundDecimal(2.675, 2),
                                BoundInteger(std::numeric_limits<std::int64_t>::max()), BoundDate(Date{2024, 3, 5, 10, 20, 30})}),
              1)
        << dialect;
    const ResultSet found = backend->Query("select pm, je, sl, rq from ck where djbh = ? and pm = ?",
                                           {BoundText(key), BoundText("O'Brien 阿莫西林")});
    ASSERT_EQ(found.rows.size(), 1u) << dialect;
    EXPECT_EQ(found.rows[0][0].AsText(), "O'Brien 阿莫西林");
    EXPECT_DOUBLE_EQ(found.rows[0][1].AsDouble(), 2.68);
    EXPECT_EQ(found.rows[0][2].AsInt64(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(found.rows[0][3].AsDate(), (Date{2024, 3, 5, 10, 20, 30}));
    // Where no column's affinity turns it into a number, a decimal must arrive as one.
    if (dialect) {
      EXPECT_EQ(backend->Query("select count(*) from ck where djbh = ? and je + 0 >= ?", {BoundText(key), BoundDecimal(2.675, 2)})
                    .rows[0][0].AsInt64(),
                1);
    }
    EXPECT_EQ(backend->Execute("update ck set pm = ? where djbh = ?", {BoundNull(), BoundText(key)}), 1);
    EXPECT_TRUE(backend->Query("select pm from ck where djbh = ?", {BoundText(key)}).rows[0][0].IsNull());
    // The same text again, prepared once: each run has its own values, and a run that fails
    // (a duplicate key) leaves the statement ready for the next.
    const std::string insert = "insert into ck (djbh, pm) values (?, ?)";
    EXPECT_THROW(backend->Execute(insert, {BoundText(key), BoundText("dup")}), Error);
    EXPECT_EQ(backend->Execute(insert, {BoundText(key + "b"), BoundText("乙")}), 1);
    if (!dialect) continue;
    // An update with a join reads the join twice once translated: each of its marks still has a value.
    EXPECT_EQ(backend->Execute("update a set a.pm = b.pm from ck a inner join ck b on b.djbh = ? where a.djbh = ?",
                               {BoundText(key + "b"), BoundText(key)}),
              1);
    EXPECT_EQ(backend->Query("select pm from ck where djbh = ?", {BoundText(key)}).rows[0][0].AsText(), "乙");
  }
}

// A decimal goes to the driver as its text at its scale: every digit, none cut to 15.
TEST_F(OdbcBackendTest, ADecimalReachesTheDriverWithEveryDigit) {
  auto backend = Open(false);
  backend->Execute("insert into ck (djbh, pm, je) values (?, ?, ?)",
                   {BoundText("CK9"), BoundDecimal("123456789012345.67891", 4), BoundDecimal(123456789012345.67, 4)});
  const ResultSet row = backend->Query("select pm from ck where djbh = ?", {BoundText("CK9")});
  ASSERT_EQ(row.rows.size(), 1u);
  EXPECT_EQ(row.rows[0][0].AsText(), "123456789012345.6789");  // a text column keeps what arrived
  // The driver reads a real back through 15-digit text, so the file itself is asked: the double
  // nearest 123456789012345.67 is 123456789012345.671875 (15 digits would have stored ...346).
  backend.reset();
  EXPECT_EQ(db_.Value("select je - 123456789012345 from ck where djbh = 'CK9'"), "0.671875");
}

// SQL Server's driver takes a text column size of up to 4000 characters (nvarchar) or 8000
// (varchar), and 0 for (max): a remark or a template longer than that was refused before it was
// sent ("Invalid precision value"). The SQLite driver takes the long text whole too.
TEST_F(OdbcBackendTest, ATextPastWhatAnNvarcharHoldsIsBoundAsMax) {
  std::string longText;
  for (int i = 0; i < 4001; ++i) longText += "药";
  EXPECT_EQ(odbc::PrepareValueBinding(BoundText(std::string(4000, 'x'))).columnSize, 4000u);
  EXPECT_EQ(odbc::PrepareValueBinding(BoundText(longText)).columnSize, 0u);
  EXPECT_EQ(odbc::PrepareBinding(Parameter({}, adVarChar, adParamInput, 0, Variant(std::string(8001, 'x')))).columnSize, 0u);
  auto backend = Open();
  backend->Execute("create table memo (djbh varchar(20), pm ntext)");
  backend->Execute("insert into memo (djbh, pm) values (?, ?)", {BoundText("CK8"), BoundText(longText)});
  EXPECT_EQ(backend->Query("select pm from memo where djbh = ?", {BoundText("CK8")}).rows[0][0].AsText(), longText);
}

// A failure after which SQLite undoes the whole transaction itself (a site's trigger raising
// ROLLBACK) ends it here as on the embedded database: the failure is told in its own words, the
// rollback has nothing left to do, and what runs next is not taken for part of the transaction.
TEST_F(OdbcBackendTest, ATransactionTheDatabaseUndidOnAFailureIsOverAsOnTheEmbeddedDatabase) {
  Open(false)->Execute("create trigger ck_limit before insert on ck when new.sl > 100 "
                       "begin select raise(rollback, '数量超出限额'); end");
  const std::string odbc = std::string("Driver=") + kSqliteOdbcDriver + ";Database=" + db_.Path() + ";Dialect=SQLite";
  for (const std::string& connection : {db_.ConnStr(), odbc}) {
    auto backend = OpenBackend(connection);
    backend->BeginTransaction();
    backend->Execute("update ck set sl = 8 where djbh = ?", {BoundText("CK0001")});
    const Error refused = ErrorOf([&] { backend->Execute("insert into ck (djbh, sl) values (?, 200)", {BoundText("CK7")}); });
    EXPECT_EQ(refused.Description(), "数量超出限额") << connection;
    EXPECT_FALSE(backend->InTransaction()) << connection;
    EXPECT_NO_THROW(backend->RollbackTransaction()) << connection;
    EXPECT_EQ(TextAt(*backend, "select sl from ck where djbh = 'CK0001'"), "7") << connection;
  }
}

}  // namespace
}  // namespace adodb
