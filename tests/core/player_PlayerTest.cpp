// The player against a tiny module: what stops or fails a scenario. An unanswered question, a
// leftover answer, an unknown form or control and an error the module lets escape each end the
// scenario, and the module's waiting code never runs.
// The order of events of nested modal forms is played end to end by scenarios/browser/stay_on_bill.scn.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "adodb/Error.h"
#include "host/FormModel.h"
#include "host/ScriptedUserInterface.h"
#include "player/Host.h"
#include "player/Player.h"

namespace storeadjust::player {
namespace {

// A form with a text box, a date picker, a hidden toolbar button and buttons whose clicks run
// what the test says.
class TestForm : public FormModel {
 public:
  explicit TestForm(std::string name) : FormModel(std::move(name)) {
    AddControl("TxtA", ControlKind::TextBox);
    AddControl("Cmd_Open", ControlKind::Button, "打开");
    AddControl("审核", ControlKind::ToolbarButton, "审核");
    AddControl("DTPKdrq", ControlKind::DatePicker);
    SetVisible("审核", false);
  }
  std::map<std::string, std::function<void()>> clicks;
  void Click(const std::string& name) override {
    auto it = clicks.find(name);
    if (it == clicks.end()) throw adodb::Error::ItemNotFound();
    it->second();
  }
};

// A host whose `execute` runs what the test says, with the scripted interface and the properties.
using Run = std::function<void(UserInterface&, const HostProperties&)>;
struct TestHost : Host {
  TestHost(UserInterface& ui, Run run) : ui(ui), run(std::move(run)) {}
  void Execute(const HostProperties& properties) override { run(ui, properties); }
  UserInterface& ui;
  Run run;
};

HostFactory MakeTestHost(Run run) {
  return [run](UserInterface& ui) { return std::make_unique<TestHost>(ui, run); };
}

struct Played {
  int status = 0;
  std::string transcript;
  bool Has(const std::string& text) const { return transcript.find(text) != std::string::npos; }
};

Played Play(const std::string& script, HostFactory host) {
  std::istringstream in(script);
  std::ostringstream out;
  Player player(in, out, std::filesystem::temp_directory_path(), std::move(host));
  const int status = player.Run();
  return {status, out.str()};
}

TEST(PlayerQueues, AnUnansweredQuestionStopsTheScenarioAndALeftoverAnswerFailsIt) {
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

  played = Play("answer Yes\nanswer No\nchoose 2\nplaces cancel\nexecute\n", host);
  EXPECT_EQ(played.status, 1);
  EXPECT_TRUE(played.Has("ERROR still queued at the end: answer No, choose 2, places cancel")) << played.transcript;
}

// The outer form opens the inner one modally; the code after each ShowModal logs that it ran.
struct TwoLevelModule {
  std::string log;
  HostFactory Factory() {
    return MakeTestHost([this](UserInterface& ui, const HostProperties&) {
      TestForm outer("Outer");
      outer.clicks["Cmd_Open"] = [&] {
        TestForm inner("Inner");
        ShowModal(ui, inner);
        log += "outer went on;";
      };
      ShowModal(ui, outer);
      log += "host went on;";
    });
  }
};

TEST(PlayerModal, ErrorsStopTheScenarioAndTheWaitingCodeNeverRuns) {
  for (const char* script : {"execute\nclick Nowhere Cmd_Open\nclose Outer\n", "execute\ntype Outer TxtZ x\nclose Outer\n",
                             "execute\nkey Outer TxtA Enterr\nclose Outer\n",
                             "execute\nexecute\nclose Outer\n", "execute\nclick Outer 审核\nclose Outer\n",
                             "execute\ntype Outer DTPKdrq 2024-02-30\nclose Outer\n"}) {
    TwoLevelModule module;
    Played played = Play(script, module.Factory());
    EXPECT_EQ(played.status, 1) << script;
    EXPECT_NE(played.transcript.find("ERROR line 2: "), std::string::npos) << played.transcript;
    EXPECT_EQ(played.transcript.find("> close Outer"), std::string::npos) << played.transcript;
    EXPECT_EQ(module.log, "") << "the module went on after the scenario stopped";
  }
  // A script that ends inside the inner form leaves the waiting code unrun.
  TwoLevelModule unfinished;
  Played played = Play("execute\nclick Outer Cmd_Open\n", unfinished.Factory());
  EXPECT_EQ(played.status, 0) << played.transcript;
  EXPECT_EQ(unfinished.log, "");
  EXPECT_EQ(played.transcript.find("closed"), std::string::npos) << played.transcript;
}

}  // namespace
}  // namespace storeadjust::player
