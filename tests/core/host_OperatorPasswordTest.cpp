// Passwords of the stand-alone launcher against the real demo database: the outcomes of a try,
// a replaced password, a quote in a password, and the growing wait of the sign-in dialog.
#include <gtest/gtest.h>

#include <sstream>

#include "adodb/Error.h"
#include "db/DatabaseFactory.h"
#include "host/OperatorPassword.h"
#include "support/TempDatabase.h"

namespace {

using storeadjust::SignInOutcome;
using testsupport::TempDatabase;

TEST(OperatorPassword, EachOutcomeOfASignInTry) {
  const TempDatabase demo(storeadjust::db::CreateDemoDatabase);
  auto conn = demo.Open();
  const auto check = [&](const std::string& code, const std::string& password) {
    return storeadjust::CheckOperatorPassword(*conn, code, password);
  };
  EXPECT_EQ(check("001", "demo001").outcome, SignInOutcome::kSignedIn);
  EXPECT_EQ(check("001", "demo001").operatorName, "系统管理员");
  EXPECT_EQ(check("001", "Demo001").outcome, SignInOutcome::kWrongPassword);
  EXPECT_EQ(check("001", "demo001 ").outcome, SignInOutcome::kWrongPassword);
  EXPECT_EQ(check("001", "").outcome, SignInOutcome::kEmptyPassword);
  EXPECT_EQ(check("004", "").outcome, SignInOutcome::kNoPassword);
  EXPECT_EQ(check("004", "demo004").operatorName, "王五");
  EXPECT_EQ(check("' or '1'='1", "demo001").outcome, SignInOutcome::kUnknownOperator);
}

TEST(OperatorPassword, SettingReplacesTheOldPasswordAndRefusesUnknownOperators) {
  const TempDatabase demo(storeadjust::db::CreateDemoDatabase);
  auto conn = demo.Open();
  const std::string quoted = "it's'; drop table Operators; --";
  storeadjust::SetOperatorPassword(*conn, "001", quoted);
  EXPECT_EQ(storeadjust::CheckOperatorPassword(*conn, "001", quoted).outcome, SignInOutcome::kSignedIn);
  EXPECT_EQ(storeadjust::CheckOperatorPassword(*conn, "001", "demo001").outcome, SignInOutcome::kWrongPassword);
  EXPECT_EQ(demo.Count("select count(*) from StoreAdjustPassword where OperatorCode='001'"), 1);

  EXPECT_THROW(storeadjust::SetOperatorPassword(*conn, "999", "x"), adodb::Error);
  EXPECT_THROW(storeadjust::SetOperatorPassword(*conn, "004", ""), adodb::Error);
  EXPECT_EQ(demo.Count("select count(*) from StoreAdjustPassword"), 4);
  EXPECT_FALSE(conn->InTransaction());
}

TEST(OperatorPassword, InputLinesAndTheGrowingWait) {
  std::istringstream none("");
  EXPECT_EQ(storeadjust::PasswordFromInput(none), std::nullopt);
  std::istringstream crlf("secret\r\nsecond line\n");
  EXPECT_EQ(storeadjust::PasswordFromInput(crlf), "secret");
  std::istringstream unterminated("tail");
  EXPECT_EQ(storeadjust::PasswordFromInput(unterminated), "tail");

  EXPECT_EQ(storeadjust::SignInDelaySeconds(0), 0);
  EXPECT_EQ(storeadjust::SignInDelaySeconds(2), 0);
  int previous = 0;
  for (int failures = 3; failures < 40; ++failures) {
    const int delay = storeadjust::SignInDelaySeconds(failures);
    EXPECT_GE(delay, previous) << failures;
    EXPECT_GT(delay, 0) << failures;
    EXPECT_LE(delay, 300) << failures;
    previous = delay;
  }
  EXPECT_EQ(storeadjust::SignInDelaySeconds(3), 2);
  EXPECT_EQ(storeadjust::SignInDelaySeconds(1000), 300);
}

}  // namespace
