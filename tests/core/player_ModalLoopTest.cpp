#include <gtest/gtest.h>


#include "host/UserInterface.h"
#include "player/Player.h"
#include "player_test_forms.h"

namespace storeadjust::player {
namespace {

using testing::MakeTestHost;
using testing::Play;
using testing::Played;
using testing::TestForm;


// The browser opens the editor modally and refreshes when it returns; the host goes on when the
// browser closes. Each step records itself so the test sees the order of events.
struct TwoLevelModule {
  std::string log;
  HostFactory Factory() {
    return MakeTestHost([this](UserInterface& ui, const HostProperties&) {
      TestForm outer("Outer");
      outer.clicks["Cmd_Open"] = [&] {
        TestForm inner("Inner");
        ShowModal(ui, inner);
        outer.SetText("Status", "inner closed: " + inner.Text("TxtA"));
        log += "outer went on;";
      };
      ShowModal(ui, outer);
      log += "host went on;";
    });
  }
};

TEST(PlayerModal, CommandsAfterTheInnerCloseRunInTheOuterLoop) {
  TwoLevelModule module;
  Played played = Play(R"(execute
expect open Outer
expect focus Outer TxtB
click Outer Cmd_Open
expect open Inner
type Inner TxtA hello
close Inner
expect closed Inner
expect open Outer
expect field Outer Status "inner closed: hello"
close Outer
expect closed Outer
)",
                       module.Factory());
  EXPECT_EQ(played.status, 0) << played.transcript;
  EXPECT_EQ(module.log, "outer went on;host went on;");
  const std::string& t = played.transcript;
  auto openOuter = t.find("open Outer\n"), openInner = t.find("open Inner\n");
  auto closedInner = t.find("closed Inner\n"), closedOuter = t.find("closed Outer\n");
  ASSERT_NE(closedOuter, std::string::npos) << t;
  EXPECT_LT(openOuter, openInner);
  EXPECT_LT(openInner, closedInner);
  EXPECT_LT(closedInner, t.find("> expect closed Inner"));
  EXPECT_LT(closedInner, closedOuter);
  EXPECT_LT(closedOuter, t.find("> expect closed Outer"));
}

TEST(PlayerModal, TheEndOfTheScriptLeavesTheWaitingCodeUnrun) {
  TwoLevelModule module;
  Played played = Play("execute\nclick Outer Cmd_Open\n", module.Factory());
  EXPECT_EQ(played.status, 0) << played.transcript;
  EXPECT_EQ(module.log, "");
  EXPECT_EQ(played.transcript.find("closed"), std::string::npos) << played.transcript;
}

TEST(PlayerModal, UnknownFormsControlsAndEscapedModuleErrorsStopTheScenario) {
  for (const char* script : {"execute\nclick Nowhere Cmd_Open\nclose Outer\n", "execute\ntype Outer TxtZ x\nclose Outer\n",
                             "execute\nclick Outer Cmd_None\nclose Outer\n", "execute\nkey Outer TxtA Enterr\nclose Outer\n",
                             "execute\nselect Outer Vfg 7\nclose Outer\n", "execute\nexecute\nclose Outer\n",
                             "execute\nclick Outer 审核\nclose Outer\n", "execute\ntype Outer Chk1 yes\nclose Outer\n",
                             "execute\ntype Outer DTPKdrq 2024-02-30\nclose Outer\n"}) {
    TwoLevelModule module;
    Played played = Play(script, module.Factory());
    EXPECT_EQ(played.status, 1) << script;
    EXPECT_NE(played.transcript.find("ERROR line 2: "), std::string::npos) << played.transcript;
    EXPECT_EQ(played.transcript.find("> close Outer"), std::string::npos) << played.transcript;
    EXPECT_EQ(module.log, "") << "the module went on after the scenario stopped";
  }
}

}  // namespace
}  // namespace storeadjust::player
