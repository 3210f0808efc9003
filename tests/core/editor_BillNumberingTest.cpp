// Serials of new bills: the number rule and the operator counter, their edge cases, and the
// counters moving only when asked to.
#include <gtest/gtest.h>

#include "adodb/Error.h"
#include "editor/BillNumbering.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

using testsupport::TempDatabase;

class BillNumberingTest : public ::testing::Test {
 protected:
  void SetRule(const std::string& prefix, const std::string& pattern, const std::string& digits,
               const std::string& maxNum) {
    db_.Run({"update t_billnum set fprefix=" + prefix + ", fdteformat=" + pattern + ", Fnumdigit=" + digits +
             ", FmaxNum=" + maxNum + " where fid=75 and fused=1"});
  }
  void DropRule() { db_.Run({"update t_billnum set fused=0"}); }

  TempDatabase db_{db::CreateDemoDatabase};
  ScriptedUserInterface ui_;
  Session session_ = testsupport::OpenEditorSession(db_, ui_);
};

// The rule's ordinary cases (upper-cased prefix, date patterns, padding, a NULL or out-of-range
// digit count) are played in numbering_rule.scn; these are the ones it does not play.
TEST_F(BillNumberingTest, RuleEdgeCases) {
  SetRule("'A'", "'[年]'", "40000", "12");  // a digit count far out of range: no running number
  EXPECT_EQ(BuildNewSerial(session_), "A2024");
  SetRule("NULL", "NULL", "3", "9");  // no prefix and no pattern: the number alone
  EXPECT_EQ(BuildNewSerial(session_), "009");
  SetRule("'A'", "'[年]'", "3", "NULL");  // no running number: refused, not "A2024"
  EXPECT_THROW(BuildNewSerial(session_), adodb::Error);
}

TEST_F(BillNumberingTest, NoRuleAndNoCounterRowFails) {
  DropRule();
  session_.OptCode = "nobody";
  EXPECT_THROW(BuildNewSerial(session_), adodb::Error);
  AdvanceSerialCounter(session_);  // nothing to move, nothing thrown
}

TEST(DateTokensTest, ReplacedInOrderEveryOccurrenceCaseSensitive) {
  const adodb::Date date{2024, 3, 5};
  EXPECT_EQ(ReplaceDateTokens("[日期][日]", date), "2024030505");
  EXPECT_EQ(ReplaceDateTokens("[年][年]-[月]", date), "20242024-03");
  EXPECT_EQ(ReplaceDateTokens("ab[DAY]", date), "ab[DAY]");
}

}  // namespace
}  // namespace storeadjust
