// Every field the clerk types in selects its whole text when it takes the focus, whether the
// clerk or the editor moves the focus there, so typing replaces the value shown; fields the
// editor fills, and buttons, select nothing.
#include <gtest/gtest.h>

#include <set>

#include "editor/FrmStoreAdjuctBill.h"
#include "host/KeyCodes.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

class SelectAllTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.OnSelectAll = [this](const std::string& control) { selected_.push_back(control); };
    form_.Load();
    form_.FireTimers();
  }

  testsupport::TempDatabase db_{db::CreateDemoDatabase};
  ScriptedUserInterface ui_;
  Session session_ = testsupport::OpenEditorSession(db_, ui_);
  FrmStoreAdjuctBill form_{session_, EditorRequest{}};
  std::vector<std::string> selected_;
};

TEST_F(SelectAllTest, EveryTypedFieldSelectsAllWhenTheClerkEntersIt) {
  // The retail total is typed only for goods kept by amount only (below); until then it is filled.
  const std::set<std::string> typed{"TxtBcCkID", "txtBrCKid", "TxtBZ", "TxtHH", "txtJl", "TxtDj", "TxtSl", "TxtJe"};
  for (const std::string& name : form_.ControlNames()) {
    selected_.clear();
    form_.SetFocus("Cmd_Save");
    form_.SetFocus(name);
    const std::vector<std::string> expected =
        typed.count(name) != 0 ? std::vector<std::string>{name} : std::vector<std::string>{};
    EXPECT_EQ(selected_, expected) << name;
  }
}

// The focus the editor moves itself: after a goods is taken the price is next, and a "0" there
// must give way to what the clerk types.
TEST_F(SelectAllTest, TheFieldTheEditorMovesToIsSelected) {
  form_.Type("TxtBcCkID", "01");
  form_.KeyDown("TxtBcCkID", key::kReturn);
  form_.Type("txtBrCKid", "02");
  form_.KeyDown("txtBrCKid", key::kReturn);
  EXPECT_EQ(form_.Focus(), "TxtHH");
  selected_.clear();
  form_.Type("TxtHH", "0006");
  form_.KeyDown("TxtHH", key::kReturn);
  ASSERT_EQ(form_.Focus(), "TxtDj");
  EXPECT_EQ(selected_, std::vector<std::string>{"TxtDj"});
  selected_.clear();
  form_.KeyDown("TxtDj", key::kReturn);
  EXPECT_EQ(form_.Focus(), "TxtSl");
  EXPECT_EQ(form_.Text("TxtSl"), "0");
  EXPECT_EQ(selected_, std::vector<std::string>{"TxtSl"});

  form_.Type("TxtHH", "0040");
  form_.KeyDown("TxtHH", key::kReturn);
  ASSERT_FALSE(form_.Control("TxtLsze").locked);
  selected_.clear();
  form_.SetFocus("TxtLsze");
  EXPECT_EQ(selected_, std::vector<std::string>{"TxtLsze"});
}

}  // namespace
}  // namespace storeadjust
