// The compact storage of query results: values that share memory between text and numbers, and
// rows kept in blocks. The faults guarded against are a text lost or freed twice when a value
// changes type, a date that does not survive packing, and a row read or written in the wrong
// block once a result outgrows its first one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TempDatabase.h"
#include "adodb/Error.h"
#include "adodb/Recordset.h"
#include "adodb/RowTable.h"

using namespace adodb;

TEST(VariantStorage, TextSurvivesCopiesMovesAndChangesOfType) {
  const std::string longText(100, 'x');  // beyond the string's inline buffer
  Variant a(longText);
  Variant b = a;
  EXPECT_EQ(b.RawText(), longText);
  b = Variant(3.5);  // text to number frees the text
  EXPECT_EQ(b.AsDouble(), 3.5);
  b = a;  // number to text
  EXPECT_EQ(b.RawText(), longText);
  Variant c(std::move(a));
  EXPECT_EQ(c.RawText(), longText);
  c = Variant("short");
  c = c;  // self-assignment keeps the value
  EXPECT_EQ(c.RawText(), "short");
  std::vector<Variant> values(50, Variant(longText));
  values.resize(500, Variant::Null());  // moves every text to a new buffer
  EXPECT_EQ(values[49].RawText(), longText);
  EXPECT_TRUE(values[499].IsNull());
  EXPECT_THROW(Variant(1).RawText(), Error);
}

TEST(VariantStorage, DatesKeepEveryFieldThroughPacking) {
  for (const Date date : {Date{2024, 2, 29, 23, 59, 58}, Date{100, 1, 1}, Date{9999, 12, 31, 12, 0, 1}, Date{}}) {
    const Variant value(date);
    EXPECT_EQ(value.RawDate(), date) << date.ToText();
    EXPECT_EQ(Variant(value).AsDate(), date);
  }
}

TEST(RowTable, RowsAcrossManyBlocksKeepTheirValuesAndWidth) {
  RowTable table(3);
  for (int r = 0; r < 5000; ++r) {
    for (int c = 0; c < 3; ++c) table.AppendValue(Variant("r" + std::to_string(r) + "c" + std::to_string(c)));
  }
  ASSERT_EQ(table.size(), 5000u);
  for (std::size_t r : {0u, 1u, 545u, 546u, 547u, 4999u}) {
    const Row row = table[r];
    ASSERT_EQ(row.size(), 3u);
    EXPECT_EQ(row[2].RawText(), "r" + std::to_string(r) + "c2");
  }
  std::size_t counted = 0;
  for (const Row row : table) counted += row.front().RawText() == "r" + std::to_string(counted) + "c0";
  EXPECT_EQ(counted, 5000u);
  EXPECT_THROW(table.back().at(3), std::out_of_range);
  EXPECT_THROW(table.push_back(std::vector<Variant>{1, 2}), std::invalid_argument);
}

// An edit written back to a row far into a large result must change that row and no other.
TEST(RowTable, RecordsetEditsARowBeyondTheFirstBlock) {
  testsupport::TempDatabase db;
  auto conn = db.Open();
  conn->Execute("create table t (id int primary key, name varchar(20))");
  conn->BeginTrans();
  for (int i = 1; i <= 3000; ++i) {
    conn->Execute("insert into t values (" + std::to_string(i) + ", 'name " + std::to_string(i) + "')");
  }
  conn->CommitTrans();
  auto rs = conn->OpenRecordset("select id, name from t order by id", adLockOptimistic);
  ASSERT_EQ(rs->RecordCount(), 3000);
  rs->SetAbsolutePosition(2900);
  rs->SetValue("name", Variant("O'Brien"));
  rs->Update();
  EXPECT_EQ(rs->RowAt(2899)[1].RawText(), "O'Brien");
  EXPECT_EQ(rs->RowAt(2898)[1].RawText(), "name 2899");
  EXPECT_EQ(rs->RowAt(2900)[1].RawText(), "name 2901");
  EXPECT_EQ(conn->OpenRecordset("select name from t where id = 2900")->Value(0).RawText(), "O'Brien");
  rs->Sort("id DESC");
  EXPECT_EQ(rs->Value("id").AsInt32(), 2900);  // the sort stays on the edited row
}
