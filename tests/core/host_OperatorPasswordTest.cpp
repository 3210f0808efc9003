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
