// Serials of new bills: the number rule and the operator counter, their edge cases, and the
// counters moving only when asked to.
#include <gtest/gtest.h>

#include "adodb/Error.h"
#include "editor/BillNumbering.h"
#include "editor_support/EditorDatabase.h"

namespace storeadjust {
namespace {

using editortest::EditorDatabase;

class BillNumberingTest : public ::testing::Test {
 protected:
  void SetRule(const std::string& prefix, const std::string& pattern, const std::string& digits,
               const std::string& maxNum) {
    db_.Run({"update t_billnum set fprefix=" + prefix + ", fdteformat=" + pattern + ", Fnumdigit=" + digits +
             ", FmaxNum=" + maxNum + " where fid=75 and fused=1"});
  }
  void DropRule() { db_.Run({"update t_billnum set fused=0"}); }

  EditorDatabase db_;
  ScriptedUserInterface ui_;
  Session session_ = db_.OpenSession(ui_);
};

TEST_F(BillNumberingTest, RuleRowGivesUpperCasedPrefixDateAndPaddedNumber) {
  SetRule("'dbd'", "'[日期]'", "4", "17");
  EXPECT_EQ(BuildNewSerial(session_), "DBD202403050017");
  SetRule("'db'", "'[年]-[月]-'", "3", "1234");
  EXPECT_EQ(BuildNewSerial(session_), "DB2024-03-1234");
  SetRule("'x'", "'[日期]/[日]'", "2", "7");
  EXPECT_EQ(BuildNewSerial(session_), "X20240305/0507");
}

TEST_F(BillNumberingTest, DigitCountEdgeCases) {
  SetRule("'A'", "'d'", "NULL", "5");
  EXPECT_EQ(BuildNewSerial(session_), "Ad5") << "the pattern keeps its letter case";
  SetRule("'A'", "''", "NULL", "12");
  EXPECT_EQ(BuildNewSerial(session_), "A12");
  SetRule("'A'", "'[年]'", "0", "12");
  EXPECT_EQ(BuildNewSerial(session_), "A2024");
  SetRule("'A'", "'[年]'", "11", "12");
  EXPECT_EQ(BuildNewSerial(session_), "A2024");
  SetRule("'A'", "'[年]'", "40000", "12");
  EXPECT_EQ(BuildNewSerial(session_), "A2024");
  SetRule("NULL", "NULL", "3", "9");
  EXPECT_EQ(BuildNewSerial(session_), "009");
}

TEST_F(BillNumberingTest, RuleWithoutRunningNumberIsRefused) {
  SetRule("'A'", "'[年]'", "3", "NULL");
  EXPECT_THROW(BuildNewSerial(session_), adodb::Error);
}

TEST_F(BillNumberingTest, OperatorCounterWithoutRule) {
  DropRule();
  db_.Run({"insert into sys_dh(id, dblsh) values ('zs01', 41)", "insert into sys_dh(id, dblsh) values ('o''k', NULL)"});
  session_.OptCode = "zs01";
  EXPECT_EQ(BuildNewSerial(session_), "ZS0142");
  AdvanceSerialCounter(session_);
  EXPECT_EQ(db_.Value("select dblsh from sys_dh where id='zs01'"), "42");
  EXPECT_EQ(BuildNewSerial(session_), "ZS0143");

  session_.OptCode = "o'k";  // a quote in the operator code neither breaks nor widens a statement
  EXPECT_EQ(BuildNewSerial(session_), "O'K1001");
  AdvanceSerialCounter(session_);
  EXPECT_EQ(db_.Value("select dblsh from sys_dh where id='o''k'"), "1001");
  EXPECT_EQ(BuildNewSerial(session_), "O'K1002") << "a NULL counter moves on like any other";
  EXPECT_EQ(db_.Value("select dblsh from sys_dh where id='zs01'"), "42");
}

TEST_F(BillNumberingTest, NoRuleAndNoCounterRowFails) {
  DropRule();
  session_.OptCode = "nobody";
  EXPECT_THROW(BuildNewSerial(session_), adodb::Error);
  AdvanceSerialCounter(session_);  // nothing to move, nothing thrown
}

TEST_F(BillNumberingTest, BuildingMovesNoCounterAndAdvancingMovesOnlyTheRule) {
  EXPECT_EQ(BuildNewSerial(session_), "DBD202403050005");
  EXPECT_EQ(BuildNewSerial(session_), "DBD202403050005");
  EXPECT_EQ(db_.Value("select FmaxNum from t_billnum where fid=75 and fused=1"), "5");
  AdvanceSerialCounter(session_);
  EXPECT_EQ(db_.Value("select FmaxNum from t_billnum where fid=75 and fused=1"), "6");
  EXPECT_EQ(db_.Value("select dblsh from sys_dh where id='001'"), "1000");
  EXPECT_EQ(BuildNewSerial(session_), "DBD202403050006");
}

TEST(DateTokensTest, ReplacedInOrderEveryOccurrenceCaseSensitive) {
  const adodb::Date date{2024, 3, 5};
  EXPECT_EQ(ReplaceDateTokens("[日期][日]", date), "2024030505");
  EXPECT_EQ(ReplaceDateTokens("[年][年]-[月]", date), "20242024-03");
  EXPECT_EQ(ReplaceDateTokens("ab[DAY]", date), "ab[DAY]");
}

}  // namespace
}  // namespace storeadjust
