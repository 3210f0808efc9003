// Posting the marked bills: one transaction, audited bills only, the rest named in the message.
#include <gtest/gtest.h>

#include "adodb/Error.h"
#include "browse/MarkedBillPosting.h"
#include "browser_support.h"

namespace storeadjust {
namespace {

class PostMarkedBillsTest : public ::testing::Test {
 protected:
  browsertest::BrowserDatabase db;
  long Posted(const std::string& quotedLsh) {
    return db.Count("select count(*) from ckdbdzk where jzbz=1 and lsh='" + quotedLsh + "'");
  }
};

TEST_F(PostMarkedBillsTest, PostsAuditedBillsAndReturnsTheOthersInOrder) {
  db.AddBill("DBD0001", 1);
  db.AddBill("DBD0002", 0);
  db.AddBill("O''Neil", 1);
  db.AddBill("DBD0004", 0);

  auto notPosted = PostMarkedBills(db.session, {"DBD0004", "DBD0001", "O'Neil", "DBD0002", "GONE"});

  EXPECT_EQ(notPosted, (std::vector<std::string>{"DBD0004", "DBD0002", "GONE"}));
  EXPECT_EQ(Posted("DBD0001"), 1);
  EXPECT_EQ(Posted("O''Neil"), 1);
  EXPECT_EQ(Posted("DBD0002") + Posted("DBD0004"), 0);
  EXPECT_EQ(NotPostedMessage(notPosted), "流水号为:DBD0004,DBD0002,GONE的单据记帐不成功,可能的原因是单据还没有审核!");
}

TEST_F(PostMarkedBillsTest, AFailureOnOneBillPostsNone) {
  db.AddBill("DBD0001", 1);
  db.AddBill("DBD0002", 1);
  db.Raw("create trigger stop_second before update on ckdbdzk when old.lsh='DBD0002' "
         "begin select raise(abort, 'bill locked'); end");

  EXPECT_THROW(PostMarkedBills(db.session, {"DBD0001", "DBD0002"}), adodb::Error);

  EXPECT_EQ(Posted("DBD0001"), 0);
  EXPECT_FALSE(db.session.Conn->InTransaction());
}

}  // namespace
}  // namespace storeadjust
