// Serials of new bills from the number rule: the edge cases numbering_rule.scn does not play.
#include <gtest/gtest.h>

#include "adodb/Error.h"
#include "editor/BillNumbering.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

TEST(BillNumberingTest, RuleEdgeCases) {
  testsupport::TempDatabase db{db::CreateDemoDatabase};
  ScriptedUserInterface ui;
  Session session = testsupport::OpenEditorSession(db, ui);
  const auto rule = [&db](const std::string& prefix, const std::string& pattern, const std::string& digits,
                          const std::string& maxNum) {
    db.Run({"update t_billnum set fprefix=" + prefix + ", fdteformat=" + pattern + ", Fnumdigit=" + digits +
            ", FmaxNum=" + maxNum + " where fid=75 and fused=1"});
  };
  rule("'A'", "'[年]'", "40000", "12");  // a digit count far out of range: no running number
  EXPECT_EQ(BuildNewSerial(session), "A2024");
  rule("NULL", "NULL", "3", "9");  // no prefix and no pattern: the number alone
  EXPECT_EQ(BuildNewSerial(session), "009");
  rule("'A'", "'[年]'", "3", "NULL");  // no running number: refused, not "A2024"
  EXPECT_THROW(BuildNewSerial(session), adodb::Error);
  // Every occurrence of a token is replaced; the tokens are case-sensitive.
  EXPECT_EQ(ReplaceDateTokens("[年][年]-[月]", adodb::Date{2024, 3, 5}), "20242024-03");
  EXPECT_EQ(ReplaceDateTokens("ab[DAY]", adodb::Date{2024, 3, 5}), "ab[DAY]");
}

}  // namespace
}  // namespace storeadjust
