// Which batch the desktop's batch dialog offers first: the one that expires first, read from the
// expiry column of whatever list the template gives, in the list's own order.
#include <gtest/gtest.h>

#include "db/SqliteFile.h"
#include "qt/FirstExpiringBatch.h"
#include "support/TempDatabase.h"

namespace {

using storeadjust::qt::FirstExpiringBatch;

// Batches as a list template may show them: an expiry as text, missing, or not a date at all.
class FirstExpiringBatchTest : public ::testing::Test {
 protected:
  long FirstOf(const std::string& select) { return FirstExpiringBatch(*connection->OpenRecordset(select)); }

  testsupport::TempDatabase db{[](const std::string& path) {
    storeadjust::db::SqliteFile(path).Execute(
        "create table batches (n integer, ph varchar(10), xq varchar(20));"
        "insert into batches values (1, '230101', '2025-05-01'), (2, '230102', null), (3, '230103', 'soon'),"
        " (4, '230104', '2024-09-30 00:00:00'), (5, '230105', '2024-09-30'), (6, '230106', '2026-01-01')");
  }};
  std::shared_ptr<adodb::Connection> connection = db.Open();
};

TEST_F(FirstExpiringBatchTest, TheEarliestDateWinsAndTheFirstOfEqualDates) {
  EXPECT_EQ(FirstOf("select ph as 批号, xq as 效期 from batches order by n"), 4);
  EXPECT_EQ(FirstOf("select ph, XQ from batches order by n desc"), 2);  // 230105 comes first now
}

TEST_F(FirstExpiringBatchTest, AListWithoutAnExpiryColumnOffersNone) {
  EXPECT_EQ(FirstOf("select ph as 批号, xq as 有效期至 from batches"), 0);
  EXPECT_EQ(FirstOf("select ph, xq as xqx from batches"), 0);
}

}  // namespace
