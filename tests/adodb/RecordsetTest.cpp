#include "adodb/Recordset.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "support/ErrorOf.h"
#include "support/TempDatabase.h"
#include "adodb/Error.h"

using namespace adodb;

namespace {

class RecordsetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    conn = db.Open();
    conn->Execute(
        "create table phk (hh varchar(20) not null, ph varchar(20) not null, sl money, rq datetime, bz bit, "
        "primary key (hh, ph))");
    conn->Execute("create table spk (hh varchar(20) primary key, pm varchar(40))");
    conn->Execute("create table nokey (a varchar(10), b int)");
    conn->Execute(
        "insert into phk values ('A1','P1',10,'2024-01-02 08:30:00',1),('A1','P2',5,'2024-01-01 00:00:00',0),"
        "('B2','P1',7,null,0),('C3','P9',5,'2024-03-01 00:00:00',1)");
    conn->Execute("insert into spk values ('A1','Tea'),('B2','O''Neil rice'),('C3','Salt')");
    conn->Execute("insert into nokey values ('x',1),('x',1),(null,2)");
  }

  testsupport::TempDatabase db;
  std::shared_ptr<Connection> conn;
};

}  // namespace

TEST_F(RecordsetTest, NavigationFollowsTheClassicBofEofRules) {
  auto rs = conn->OpenRecordset("select * from phk where hh = 'none'");
  EXPECT_TRUE(rs->BOF());
  EXPECT_TRUE(rs->EOF());
  EXPECT_EQ(rs->RecordCount(), 0);
  EXPECT_EQ(testsupport::ErrorOf([&] { (void)rs->Value("hh"); }).Number(), errnum::kBofOrEof);
  EXPECT_EQ(rs->Fields("SL").Type(), adCurrency);  // the type is known without rows

  rs = conn->OpenRecordset("select hh, ph from phk order by hh, ph");
  int moves = 0;
  rs->OnMoveComplete = [&](Recordset&) { ++moves; };
  EXPECT_EQ(rs->AbsolutePosition(), 1);
  rs->MoveLast();
  EXPECT_EQ(rs->Value("ph").AsText(), "P9");
  rs->MoveNext();
  EXPECT_TRUE(rs->EOF());
  EXPECT_EQ(rs->AbsolutePosition(), -1);
  EXPECT_EQ(testsupport::ErrorOf([&] { rs->MoveNext(); }).Number(), errnum::kBofOrEof);
  rs->MovePrevious();
  EXPECT_EQ(rs->AbsolutePosition(), 4);
  rs->SetAbsolutePosition(2);
  EXPECT_EQ(rs->Value(1).AsText(), "P2");
  rs->MoveFirst();
  rs->MovePrevious();
  EXPECT_TRUE(rs->BOF());
  EXPECT_EQ(moves, 6);
}

TEST_F(RecordsetTest, ColumnsCarryTypesBaseColumnsKeysAndConvertedValues) {
  auto rs = conn->OpenRecordset("select p.*, s.pm as name, p.sl * 1.5 as dbl, (select count(*) from spk) as n from phk p "
                                "join spk s on s.hh = p.hh order by p.hh, p.ph");
  EXPECT_EQ(rs->Column(0).baseTable, "phk");
  EXPECT_TRUE(rs->Column(0).isKey);
  EXPECT_FALSE(rs->Column(2).isKey);
  EXPECT_EQ(rs->Fields("name").Type(), adVarChar);
  EXPECT_EQ(rs->Column(5).baseColumn, "pm");
  EXPECT_EQ(rs->Fields("dbl").Type(), adDouble);
  EXPECT_EQ(rs->Fields("n").Type(), adInteger);
  EXPECT_EQ(rs->Value("rq").Type(), VariantType::Date);
  EXPECT_EQ(rs->Value("rq").AsText(), "2024-01-02 08:30:00");
  EXPECT_EQ(rs->Value("bz").Type(), VariantType::Boolean);
  EXPECT_EQ(rs->Value("sl").Type(), VariantType::Currency);
  rs->SetAbsolutePosition(3);
  EXPECT_TRUE(rs->Value("rq").IsNull());
  EXPECT_EQ(rs->Value("name").AsText(), "O'Neil rice");
  EXPECT_EQ(testsupport::ErrorOf([&] { (void)rs->Fields("nope"); }).Number(), errnum::kItemNotFound);
}

TEST_F(RecordsetTest, DuplicateNamesResolveToTheFirstColumn) {
  auto rs = conn->OpenRecordset("select p.hh, p.ph + 'x' as hh from phk p where p.ph = 'P9'");
  EXPECT_EQ(rs->Value("HH").AsText(), "C3");
}

TEST_F(RecordsetTest, ClonesShareRowsButKeepTheirOwnPositionAndSort) {
  auto rs = conn->OpenRecordset("select hh, ph, sl from phk order by hh, ph");
  auto clone = rs->Clone();
  rs->Close();
  EXPECT_EQ(clone->RecordCount(), 4);
  auto other = clone->Clone();
  clone->MoveLast();
  EXPECT_EQ(other->AbsolutePosition(), 1);

  clone->SetAbsolutePosition(2);  // A1/P2, sl 5
  clone->Sort("sl DESC, hh ASC");
  EXPECT_EQ(clone->Value("ph").AsText(), "P2");  // stays on the same row
  EXPECT_EQ(clone->AbsolutePosition(), 3);       // 10, 7, then the two fives in query order
  clone->MoveFirst();
  EXPECT_EQ(clone->Value("sl").AsDouble(), 10);
  clone->MoveLast();
  EXPECT_EQ(clone->Value("hh").AsText(), "C3");
  EXPECT_EQ(other->Value("ph").AsText(), "P1");  // the other clone is not sorted
  clone->Sort("");
  clone->MoveFirst();
  EXPECT_EQ(clone->Value("hh").AsText(), "A1");
}

TEST_F(RecordsetTest, EditableUpdateJoinsTheTransactionAndRollbackUndoesIt) {
  auto rs = conn->OpenRecordset("select * from phk where hh = 'A1' and ph = 'P1'", adLockOptimistic)->Clone();
  {
    TransactionGuard transaction(*conn);
    rs->SetValue("sl", Variant::Currency(3.5));
    rs->SetValue("bz", false);
    EXPECT_EQ(rs->Value("sl").AsText(), "3.5");
    rs->Update();
    auto check = conn->OpenRecordset("select sl, bz from phk where hh = 'A1' and ph = 'P1'");
    EXPECT_EQ(check->Value("sl").AsDouble(), 3.5);
    EXPECT_FALSE(check->Value("bz").AsBool());
  }  // rolled back
  auto check = conn->OpenRecordset("select sl from phk where hh = 'A1' and ph = 'P1'");
  EXPECT_EQ(check->Value("sl").AsDouble(), 10);
}

TEST_F(RecordsetTest, EditableUpdateWritesQuotesSafelyAndFindsKeylessRowsByValue) {
  auto rs = conn->OpenRecordset("select * from spk where hh = 'C3'", adLockOptimistic);
  rs->SetValue("pm", "it's; drop table spk --");
  rs->Update();
  EXPECT_EQ(conn->OpenRecordset("select pm from spk where hh = 'C3'")->Value(0).AsText(), "it's; drop table spk --");

  auto keyless = conn->OpenRecordset("select * from nokey where b = 2", adLockOptimistic);
  keyless->SetValue("b", 3);
  keyless->Update();  // found through "a IS NULL AND b = 2"
  EXPECT_EQ(conn->OpenRecordset("select count(*) from nokey where b = 3")->Value(0).AsInt32(), 1);
}

TEST_F(RecordsetTest, UpdateOfARowChangedSinceReadingIsRefused) {
  auto rs = conn->OpenRecordset("select * from nokey where b = 2", adLockOptimistic);
  conn->Execute("update nokey set a = 'y' where b = 2");
  rs->SetValue("b", 4);
  const Error changed = testsupport::ErrorOf([&] { rs->Update(); });
  EXPECT_EQ(changed.Number(), errnum::kRowNotLocated);
  EXPECT_EQ(changed.Description(),
            "Row cannot be located for updating. Some values may have been changed since it was last read.");
  auto partialKey = conn->OpenRecordset("select hh, sl from phk where hh = 'A1'", adLockOptimistic);
  partialKey->SetValue("sl", 0);
  EXPECT_EQ(testsupport::ErrorOf([&] { partialKey->Update(); }).Number(), errnum::kProviderError);
  EXPECT_EQ(conn->OpenRecordset("select count(*) from phk where sl = 0")->Value(0).AsInt32(), 0);

  auto readOnly = conn->OpenRecordset("select * from spk");
  EXPECT_EQ(testsupport::ErrorOf([&] { readOnly->SetValue("pm", "x"); }).Number(), errnum::kNotUpdatable);
}

TEST_F(RecordsetTest, UpdateOfARowFromTwoTablesWritesBothOrNeither) {
  auto rs = conn->OpenRecordset("select p.hh, p.ph, p.sl, s.hh as shh, s.pm from phk p join spk s on s.hh = p.hh "
                                "where p.hh = 'B2'",
                                adLockOptimistic);
  conn->Execute("update spk set hh = 'B9' where hh = 'B2'");  // the second table's row is gone
  rs->SetValue("sl", 99);
  rs->SetValue("pm", "rice");
  EXPECT_EQ(testsupport::ErrorOf([&] { rs->Update(); }).Number(), errnum::kRowNotLocated);
  EXPECT_EQ(conn->OpenRecordset("select sl from phk where hh = 'B2'")->Value(0).AsDouble(), 7);

  // A write that fails after the first table's write undoes that one too.
  conn->Execute("update spk set hh = 'B2' where hh = 'B9'");
  sqlite3* raw = nullptr;
  sqlite3_open(db.Path().c_str(), &raw);
  sqlite3_exec(raw, "create trigger refuse_rice before update of pm on spk begin select raise(abort, 'refused'); end",
               nullptr, nullptr, nullptr);
  sqlite3_close(raw);
  auto again = conn->OpenRecordset("select p.hh, p.ph, p.sl, s.hh as shh, s.pm from phk p join spk s on s.hh = p.hh "
                                   "where p.hh = 'B2'",
                                   adLockOptimistic);
  again->SetValue("sl", 99);
  again->SetValue("pm", "rice");
  EXPECT_EQ(testsupport::ErrorOf([&] { again->Update(); }).Description(), "refused");
  EXPECT_EQ(conn->OpenRecordset("select sl from phk where hh = 'B2'")->Value(0).AsDouble(), 7);
  EXPECT_FALSE(conn->InTransaction());

  conn->Execute("drop trigger refuse_rice");
  again->SetValue("sl", 99);
  again->SetValue("pm", "rice");
  again->Update();
  EXPECT_EQ(conn->OpenRecordset("select sl from phk where hh = 'B2'")->Value(0).AsDouble(), 99);
  EXPECT_EQ(conn->OpenRecordset("select pm from spk where hh = 'B2'")->Value(0).AsText(), "rice");
}
