// How a batch stands to its expiry on the bill date, judged over the demo database's batch list:
// expired, near (within 30 days, the expiry day itself included) or fresh, and a batch that
// records no expiry, which must never read as long expired.
#include <gtest/gtest.h>

#include "lines/BatchChoice.h"
#include "lines/BatchExpiry.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

class BatchExpiryTest : public ::testing::Test {
 protected:
  // Each listed batch of 0010 in warehouse 01 with its note on the bill date: "230115 已过期 3 天,…".
  std::string Notes(const adodb::Date& billDate) {
    const BoundSql batches = BatchList("", "0010", "01", false, 1);
    auto rows = session_.Conn->OpenRecordset(batches.text, batches.values);
    const auto expiry = ExpiryColumn(*rows);
    if (!expiry) return "no expiry column";
    std::string notes;
    for (rows->MoveFirst(); !rows->EOF(); rows->MoveNext()) {
      const BatchExpiry judged = JudgeExpiry(rows->Value(*expiry), billDate);
      notes += (notes.empty() ? "" : ",") + rows->Value("批号").TextOrEmpty() + " " + ExpiryNote(judged);
    }
    return notes;
  }

  testsupport::TempDatabase db_{db::CreateDemoDatabase};
  ScriptedUserInterface ui_;
  Session session_ = testsupport::OpenEditorSession(db_, ui_);
};

TEST_F(BatchExpiryTest, TheListedBatchesAreMarkedAgainstTheBillDate) {
  EXPECT_EQ(Notes({2024, 3, 5}), "230115 ,240103 ");  // 56 days left: not yet marked
  EXPECT_EQ(Notes({2024, 3, 31}), "230115 30 天后到期,240103 ");
  EXPECT_EQ(Notes({2024, 4, 30}), "230115 今天到期,240103 ");
  EXPECT_EQ(Notes({2024, 5, 1, 17, 30}), "230115 已过期 1 天,240103 ");
  EXPECT_EQ(Notes({2025, 1, 1}), "230115 已过期 246 天,240103 ");
}

TEST_F(BatchExpiryTest, ABatchWithoutAnExpiryIsNeitherExpiredNorNear) {
  db_.Run({"update phk set xq=NULL where hh='0010' and stockid='01' and dh='200101'"});
  EXPECT_EQ(JudgeExpiry(BatchExpiryDate(session_, "0010", "01", "230115", "200101"), {2030, 1, 1}).state,
            BatchExpiry::State::Unknown);
  EXPECT_EQ(JudgeExpiry(BatchExpiryDate(session_, "0010", "01", "no'such", "0"), {2030, 1, 1}).state,
            BatchExpiry::State::Unknown);
  EXPECT_EQ(JudgeExpiry(adodb::Variant("not a date"), {2030, 1, 1}).state, BatchExpiry::State::Unknown);
  EXPECT_EQ(JudgeExpiry(BatchExpiryDate(session_, "0010", "01", "240103", "200102"), {2030, 1, 1}).state,
            BatchExpiry::State::Expired);
}

}  // namespace
}  // namespace storeadjust
