#include "adodb/Recordset.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "adodb/BoundValues.h"
#include "support/ErrorOf.h"
#include "support/TempDatabase.h"
#include "adodb/Error.h"

using namespace adodb;
using testsupport::ErrorOf;

namespace {

class RecordsetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db.Run({"create table phk (hh varchar(20) not null, ph varchar(20) not null, sl money, bz bit, primary key (hh, ph))",
            "create table spk (hh varchar(20) primary key, pm varchar(40))", "create table nokey (a varchar(10), b int)",
            "insert into phk values ('A1','P1',10,1),('A1','P2',5,0),('B2','P1',7,0),('C3','P9',5,1)",
            "insert into spk values ('A1','Tea'),('B2','O''Neil rice'),('C3','Salt')",
            "insert into nokey values ('x',1),('x',1),(null,2)"});
    conn = db.Open();
  }
  Variant First(const std::string& sql) { return conn->OpenRecordset(sql)->Value(0); }

  testsupport::TempDatabase db;
  std::shared_ptr<Connection> conn;
};

}  // namespace

// An edit joins the connection's transaction, so a rollback undoes it; a keyless row is found by
// its values, NULL included. Quotes in edited values are written by the large-result case below.
TEST_F(RecordsetTest, EditableUpdateJoinsTheTransactionAndFindsKeylessRows) {
  auto rs = conn->OpenRecordset("select * from phk where hh = 'A1' and ph = 'P1'", adLockOptimistic)->Clone();
  {
    TransactionGuard transaction(*conn);
    rs->SetValue("sl", Variant::Currency(3.5));
    rs->Update();
    EXPECT_EQ(First("select sl from phk where hh = 'A1' and ph = 'P1'").AsDouble(), 3.5);
  }  // rolled back
  EXPECT_EQ(First("select sl from phk where hh = 'A1' and ph = 'P1'").AsDouble(), 10);

  auto keyless = conn->OpenRecordset("select * from nokey where b = 2", adLockOptimistic);
  keyless->SetValue("b", 3);
  keyless->Update();  // found through "a IS NULL AND b = 2"
  EXPECT_EQ(First("select count(*) from nokey where b = 3").AsInt32(), 1);
}

// A row changed since reading, or one the set cannot name by its whole key, is not written.
TEST_F(RecordsetTest, UpdateOfARowChangedSinceReadingOrOfAPartialKeyIsRefused) {
  auto rs = conn->OpenRecordset("select * from nokey where b = 2", adLockOptimistic);
  conn->Execute("update nokey set a = 'y' where b = 2");
  rs->SetValue("b", 4);
  const Error changed = ErrorOf([&] { rs->Update(); });
  EXPECT_EQ(changed.Number(), errnum::kRowNotLocated);
  EXPECT_EQ(changed.Description(),
            "Row cannot be located for updating. Some values may have been changed since it was last read.");
  auto partialKey = conn->OpenRecordset("select hh, sl from phk where hh = 'A1'", adLockOptimistic);
  partialKey->SetValue("sl", 0);
  EXPECT_EQ(ErrorOf([&] { partialKey->Update(); }).Number(), errnum::kProviderError);
  EXPECT_EQ(First("select count(*) from phk where sl = 0").AsInt32(), 0);
  auto readOnly = conn->OpenRecordset("select * from spk");
  EXPECT_EQ(ErrorOf([&] { readOnly->SetValue("pm", "x"); }).Number(), errnum::kNotUpdatable);
}

TEST_F(RecordsetTest, UpdateOfARowFromTwoTablesWritesBothOrNeither) {
  const std::string joined = "select p.hh, p.ph, p.sl, s.hh as shh, s.pm from phk p join spk s on s.hh = p.hh where p.hh = 'B2'";
  const auto edit = [](Recordset& rs) {
    rs.SetValue("sl", 99);
    rs.SetValue("pm", "rice");
    rs.Update();
  };
  auto rs = conn->OpenRecordset(joined, adLockOptimistic);
  conn->Execute("update spk set hh = 'B9' where hh = 'B2'");  // the second table's row is gone
  EXPECT_EQ(ErrorOf([&] { edit(*rs); }).Number(), errnum::kRowNotLocated);
  EXPECT_EQ(First("select sl from phk where hh = 'B2'").AsDouble(), 7);

  // A write that fails after the first table's write undoes that one too.
  conn->Execute("update spk set hh = 'B2' where hh = 'B9'");
  sqlite3* raw = nullptr;
  sqlite3_open(db.Path().c_str(), &raw);
  sqlite3_exec(raw, "create trigger refuse_rice before update of pm on spk begin select raise(abort, 'refused'); end",
               nullptr, nullptr, nullptr);
  sqlite3_close(raw);
  auto again = conn->OpenRecordset(joined, adLockOptimistic);
  EXPECT_EQ(ErrorOf([&] { edit(*again); }).Description(), "refused");
  EXPECT_EQ(First("select sl from phk where hh = 'B2'").AsDouble(), 7);
  EXPECT_FALSE(conn->InTransaction());

  conn->Execute("drop trigger refuse_rice");
  edit(*again);
  EXPECT_EQ(First("select sl from phk where hh = 'B2'").AsDouble(), 99);
  EXPECT_EQ(First("select pm from spk where hh = 'B2'").AsText(), "rice");
}

// Rows are kept in blocks: an edit far into a large result must change that row and no other.
TEST_F(RecordsetTest, AnEditBeyondTheFirstBlockOfRowsChangesThatRowOnly) {
  conn->Execute("create table t (id int primary key, name varchar(20))");
  conn->BeginTrans();
  for (int i = 1; i <= 3000; ++i) conn->Execute("insert into t values (?, ?)", {BoundInteger(i), BoundText("name " + std::to_string(i))});
  conn->CommitTrans();
  auto rs = conn->OpenRecordset("select id, name from t order by id", adLockOptimistic);
  rs->SetAbsolutePosition(2900);
  rs->SetValue("name", Variant("O'Brien"));
  rs->Update();
  EXPECT_EQ(rs->RowAt(2899)[1].RawText(), "O'Brien");
  EXPECT_EQ(rs->RowAt(2898)[1].RawText(), "name 2899");
  EXPECT_EQ(rs->RowAt(2900)[1].RawText(), "name 2901");
  EXPECT_EQ(First("select name from t where id = 2900").RawText(), "O'Brien");
  rs->Sort("id DESC");
  EXPECT_EQ(rs->Value("id").AsInt32(), 2900);  // the sort stays on the edited row
}

// A sort orders texts as the database's collation does (case aside, trailing blanks ignored, the
// query's order kept among equals) and dates by the calendar, those before 1900 with a time too.
TEST_F(RecordsetTest, SortOrdersRowsAsTheDatabaseOrdersThem) {
  conn->Execute("create table rq (k int primary key, d datetime, pm varchar(20))");
  conn->Execute("insert into rq values (1, '1800-01-01 18:00:00', 'b'), (2, '1800-01-01 12:00:00', 'B '), (3, '1800-01-02', 'a')");
  auto rs = conn->OpenRecordset("select k, d, pm from rq order by k");
  const auto order = [&](const std::string& criteria) {
    rs->Sort(criteria);
    std::string keys;
    for (rs->MoveFirst(); !rs->EOF(); rs->MoveNext()) keys += rs->Value(0).AsText();
    return keys;
  };
  EXPECT_EQ(order("d"), "213");
  EXPECT_EQ(order("pm DESC"), "123");
}
