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

TEST(PlayerQueues, OkOnlyBoxesConsumeNothingAndQuestionsTakeAnswersInOrder) {
  std::vector<int> answers;
  auto host = MakeTestHost([&](UserInterface& ui, const HostProperties&) {
    answers.push_back(ui.MsgBox("注意\r\n库存不足", mb::kExclamation, "提示:"));
    answers.push_back(ui.MsgBox("第一", mb::kYesNo + mb::kInformation + mb::kDefaultButton2, "系统提示"));
    answers.push_back(ui.MsgBox("第二", mb::kYesNo + mb::kInformation + mb::kDefaultButton2, "系统提示"));
  });
  Played played = Play("answer No\nanswer Yes\nexecute\n", host);
  EXPECT_EQ(played.status, 0) << played.transcript;
  EXPECT_EQ(answers, (std::vector<int>{mb::kOk, mb::kNo, mb::kYes}));
  EXPECT_TRUE(played.Has("msgbox 48 \"提示:\" \"注意\\r\\n库存不足\" -> OK\n")) << played.transcript;
  EXPECT_TRUE(played.Has("msgbox 324 \"系统提示\" \"第一\" -> No\n")) << played.transcript;
}

TEST(PlayerQueues, AnythingStillQueuedAtTheEndIsAnError) {
  auto host = MakeTestHost([](UserInterface& ui, const HostProperties&) { ui.MsgBox("?", mb::kYesNo, "t"); });
  Played played = Play("answer Yes\nanswer No\nchoose 2\nplaces cancel\nexecute\n", host);
  EXPECT_EQ(played.status, 1);
  EXPECT_TRUE(played.Has("ERROR still queued at the end: answer No, choose 2, places cancel")) << played.transcript;
}

TEST(PlayerQueues, GoodsPlacesAreConsumedOnlyWhenAllocating) {
  GoodsPlaceAnswer viewed, allocated;
  auto host = MakeTestHost([&](UserInterface& ui, const HostProperties&) {
    GoodsPlaceRequest request;
    request.billType = "WarehouseIn";
    request.warehouseId = "02";
    request.billSerial = "DBD0001";
    request.lineKey = "DH999999999";
    request.quantity = "5";
    request.viewOnly = true;
    viewed = ui.ShowGoodsPlaces(request);
    request.viewOnly = false;
    allocated = ui.ShowGoodsPlaces(request);
  });
  Played played = Play("places \"G1,,A-01,3;G2,x,A-02,2\"\nexecute\n", host);
  EXPECT_EQ(played.status, 0) << played.transcript;
  EXPECT_FALSE(viewed.confirmed);
  EXPECT_TRUE(allocated.confirmed);
  EXPECT_EQ(allocated.items, (std::vector<std::string>{"G1,,A-01,3", "G2,x,A-02,2"}));
  EXPECT_TRUE(played.Has("places WarehouseIn 02 DBD0001 DH999999999 5 0 -> ok\n")) << played.transcript;

  Played malformed = Play("places \"G1,A-01,3\"\n", host);
  EXPECT_EQ(malformed.status, 1);
  EXPECT_TRUE(malformed.Has("ERROR line 1: places")) << malformed.transcript;
}

TEST(PlayerQueues, ExpectMessageLooksOnlyAtBoxesSinceThePreviousMessageCheck) {
  int run = 0;
  auto host = MakeTestHost([&](UserInterface& ui, const HostProperties&) {
    ui.MsgBox(++run == 1 ? "此单据已审核，不能删除！" : "保存成功", mb::kInformation, "系统提示");
  });
  Played played = Play(R"(expect nomessage
execute
expect message 不能删除
expect nomessage
execute
expect message 不能删除
execute
expect nomessage
expect message 保存
)",
                       host);
  EXPECT_EQ(played.status, 1);
  EXPECT_TRUE(played.Has("FAIL expect message 不能删除 : got \"保存成功\"\n")) << played.transcript;
  EXPECT_TRUE(played.Has("FAIL expect nomessage : got \"保存成功\"\n")) << played.transcript;
  EXPECT_TRUE(played.Has("FAIL expect message 保存 : got no message\n")) << played.transcript;
  std::size_t fails = 0;
  for (auto at = played.transcript.find("FAIL "); at != std::string::npos; at = played.transcript.find("FAIL ", at + 1)) ++fails;
  EXPECT_EQ(fails, 3u) << played.transcript;
}

// The selection dialog's three ways: shown (a choice consumed), a lone row (taken without a
// dialog, nothing consumed) and no row. Runs on a real embedded database file.
TEST(PlayerQueues, SelectionDialogsConsumeChoicesOnlyWhenShown) {
  const testsupport::TempDatabase blank;  // an empty file is an empty database
  std::vector<std::vector<adodb::Variant>> results;
  auto host = MakeTestHost([&](UserInterface& ui, const HostProperties& p) {
    Session session;
    session.ConnStr = *p.ConnStr;
    session.Ui = &ui;
    results.push_back(SelectFromList(session, "select 'a' as 代码 union all select 'b' union all select 'c'", false));
    results.push_back(SelectFromList(session, "select 'x' as 代码", false));
    results.push_back(SelectFromList(session, "select 'y' as 代码", true));
    results.push_back(SelectFromList(session, "select 'a' as 代码 union all select 'b'", false));
  });
  Played played = Play("database test.db\nchoose 3\nchoose 1\nchoose cancel\nexecute\n", host, blank.Folder());
  EXPECT_EQ(played.status, 0) << played.transcript;
  ASSERT_EQ(results.size(), 4u);
  EXPECT_EQ(results[0].at(1).AsText(), "c");
  EXPECT_EQ(results[1].at(1).AsText(), "x");
  EXPECT_EQ(results[2].at(1).AsText(), "y");
  EXPECT_EQ(results[3].at(0).AsInt32(), 0);
  EXPECT_TRUE(played.Has("select 0 3 -> 3\n  sql: select 'a' as 代码 union all")) << played.transcript;
  EXPECT_TRUE(played.Has("select 1 1 -> 1\n")) << played.transcript;
  EXPECT_TRUE(played.Has("select 0 2 -> cancel\n")) << played.transcript;

  Played beyond = Play("database test.db\nchoose 4\nexecute\n", host, blank.Folder());
  EXPECT_EQ(beyond.status, 1);
  EXPECT_TRUE(beyond.Has("select 0 3 -> 4?\n")) << beyond.transcript;
  EXPECT_TRUE(beyond.Has("ERROR line 3: choose 4: the dialog lists 3 rows")) << beyond.transcript;
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
