// The growing wait of the sign-in dialog after failed tries. How a password is read from standard
// input (no line, a CR LF line end, a last line without its end) is held by the programs' runs in
// startup_CommandLineTest.
#include <gtest/gtest.h>

#include "host/OperatorPassword.h"

namespace {

// The first slips cost nothing; then each failure waits at least as long as the one before, never
// more than five minutes.
TEST(OperatorPassword, TheWaitAfterFailedTriesGrowsAndIsBounded) {
  EXPECT_EQ(storeadjust::SignInDelaySeconds(0), 0);
  EXPECT_EQ(storeadjust::SignInDelaySeconds(2), 0);
  EXPECT_EQ(storeadjust::SignInDelaySeconds(3), 2);
  int previous = 0;
  for (int failures = 3; failures < 40; ++failures) {
    const int delay = storeadjust::SignInDelaySeconds(failures);
    EXPECT_GE(delay, previous) << failures;
    EXPECT_GT(delay, 0) << failures;
    EXPECT_LE(delay, 300) << failures;
    previous = delay;
  }
  EXPECT_EQ(storeadjust::SignInDelaySeconds(1000), 300);
}

}  // namespace
