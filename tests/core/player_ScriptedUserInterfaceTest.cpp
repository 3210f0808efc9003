#include <gtest/gtest.h>


#include "host/ScriptedUserInterface.h"
#include "host/SelectDialog.h"
#include "host/Session.h"
#include "player/Player.h"
#include "player_test_forms.h"
#include "support/TempDatabase.h"

namespace storeadjust::player {
namespace {

using testing::MakeTestHost;
using testing::Play;
using testing::Played;

TEST(PlayerQueues, AQuestionWithNothingQueuedIsAnErrorThatStopsTheScenario) {
  bool wentOn = false;
  auto host = MakeTestHost([&](UserInterface& ui, const HostProperties&) {
    ui.MsgBox("继续吗?", mb::kYesNo + mb::kQuestion + mb::kDefaultButton2, "系统提示");
    wentOn = true;
  });
  Played played = Play("execute\nexpect nomessage\n", host);
  EXPECT_EQ(played.status, 1);
  EXPECT_FALSE(wentOn);
  EXPECT_TRUE(played.Has("msgbox 292 \"系统提示\" \"继续吗?\" -> ?\nERROR line 1: ")) << played.transcript;
  EXPECT_FALSE(played.Has("> expect nomessage")) << played.transcript;
}

TEST(PlayerQueues, AnythingStillQueuedAtTheEndIsAnError) {
  auto host = MakeTestHost([](UserInterface& ui, const HostProperties&) { ui.MsgBox("?", mb::kYesNo, "t"); });
  Played played = Play("answer Yes\nanswer No\nchoose 2\nplaces cancel\nexecute\n", host);
  EXPECT_EQ(played.status, 1);
  EXPECT_TRUE(played.Has("ERROR still queued at the end: answer No, choose 2, places cancel")) << played.transcript;
}

TEST(PlayerSession, PropertiesAreCheckedAndHandedOver) {
  HostProperties seen;
  auto host = MakeTestHost([&](UserInterface&, const HostProperties& p) { seen = p; });
  Played played = Play("session OptCode=O'Neil \"OptName=张 三\" SysDate=2024-03-05 isNotPh=1 CommandTimeout=30\nexecute\n", host);
  EXPECT_EQ(played.status, 0) << played.transcript;
  EXPECT_EQ(seen.OptCode, "O'Neil");
  ASSERT_TRUE(seen.SysDate);
  EXPECT_EQ(seen.SysDate->ToText(), "2024-03-05");
  EXPECT_EQ(seen.isNotPh, true);
  EXPECT_EQ(seen.CommandTimeout, 30);
  EXPECT_EQ(seen.OptName, "张 三");
  EXPECT_FALSE(seen.Category);

  for (const char* bad : {"session SysDate=2024-02-30\n", "session isNotPh=yes\n", "session Optcode=x\n",
                          "session NetHandle=70000\n", "session OptCode\n"}) {
    Played refused = Play(bad, host);
    EXPECT_EQ(refused.status, 1) << bad;
    EXPECT_TRUE(refused.Has("ERROR line 1: ")) << refused.transcript;
  }
}

}  // namespace
}  // namespace storeadjust::player
