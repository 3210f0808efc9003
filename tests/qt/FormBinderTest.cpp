// Screens on the desktop: widgets bound by name to a form model, the keys and focus the model
// sees, and a form run modally through its registered view.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>
#include <utility>
#include <vector>

#include "QtTestSupport.h"
#include "host/FormModel.h"
#include "host/GridModel.h"
#include "qt/FormBinder.h"
#include "qt/FormView.h"
#include "qt/FormViewRegistry.h"
#include "qt/QtUserInterface.h"

namespace {

using storeadjust::ControlKind;
using storeadjust::FormModel;
using storeadjust::qt::FormView;

class TestForm : public FormModel {
 public:
  explicit TestForm(std::string name = "FrmBinderTest") : FormModel(std::move(name)) {
    AddControl("TxtA", ControlKind::TextBox);
    AddControl("TxtB", ControlKind::TextBox);
    AddControl("Chk1", ControlKind::CheckBox);
    AddControl("LblInfo", ControlKind::Label, "说明");
    AddControl("Cmd_Exit", ControlKind::Button, "退出");
    AddControl("VfgList", ControlKind::Grid);
    grid.SetCols(2);
    grid.SetRows(4);
    grid.SetTextMatrix(0, 0, "编号");
    grid.SetTextMatrix(0, 1, "名称");
    for (long row = 1; row < 4; ++row) grid.SetTextMatrix(row, 0, "G" + std::to_string(row));
  }

  storeadjust::GridModel* Grid(const std::string& name) override { return name == "VfgList" ? &grid : nullptr; }
  void Click(const std::string& name) override {
    clicks.push_back(name);
    if (name == "Cmd_Exit") Close();
  }
  void DoubleClick(const std::string& name, long row, long col) override {
    clicks.push_back(name + ":" + std::to_string(row) + "," + std::to_string(col));
  }

  storeadjust::TextGrid grid;
  std::vector<std::string> changes;
  std::vector<std::pair<int, int>> keys;
  std::vector<std::string> clicks;
  bool allowClose = true;

 protected:
  void ControlChange(const std::string& control) override { changes.push_back(control); }
  void ControlKeyDown(const std::string& control, int& keyCode, int shift) override {
    keys.emplace_back(keyCode, shift);
    if (control == "TxtA" && keyCode == 13) SetFocus("TxtB");
  }
  bool QueryUnload() override { return allowClose; }
};

class TestView : public FormView {
 public:
  TestView(FormModel& form, QWidget* parent) : FormView(form, parent) {
    auto* layout = new QVBoxLayout(this);
    for (const char* name : {"TxtA", "TxtB"}) {
      auto* edit = new QLineEdit(this);
      edit->setObjectName(name);
      layout->addWidget(edit);
    }
    auto* check = new QCheckBox(QStringLiteral("启用"), this);
    check->setObjectName("Chk1");
    layout->addWidget(check);
    auto* label = new QLabel(this);
    label->setObjectName("LblInfo");
    layout->addWidget(label);
    auto* grid = new QTableView(this);
    grid->setObjectName("VfgList");
    layout->addWidget(grid);
    auto* exit = new QPushButton(this);  // a dialog's push buttons take Enter unless told otherwise
    exit->setObjectName("Cmd_Exit");
    exit->setDefault(true);
    layout->addWidget(exit);
    Bind();
  }

  template <typename T>
  T* Widget(const char* name) const {
    return findChild<T*>(QString::fromLatin1(name));
  }
};

class FormBinderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.Load();
    view = std::make_unique<TestView>(form, nullptr);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
  }

  TestForm form;
  std::unique_ptr<TestView> view;
};

TEST_F(FormBinderTest, TypingReachesTheModelWithClassicKeyCodesFirst) {
  auto* txtA = view->Widget<QLineEdit>("TxtA");
  txtA->setFocus();
  QTest::keyClicks(txtA, QStringLiteral("ab1"));
  EXPECT_EQ(txtA->text(), QStringLiteral("ab1"));
  EXPECT_EQ(form.Text("TxtA"), "ab1");
  EXPECT_EQ(form.changes.size(), 3u);
  EXPECT_EQ(form.keys, (std::vector<std::pair<int, int>>{{65, 0}, {66, 0}, {49, 0}}));

  form.keys.clear();
  QTest::keyClick(txtA, Qt::Key_F5, Qt::ShiftModifier);
  QTest::keyClick(txtA, Qt::Key_Delete);
  QTest::keyClick(txtA, Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(form.keys, (std::vector<std::pair<int, int>>{{116, 1}, {46, 0}, {34, 2}}));
}

TEST_F(FormBinderTest, EnterGoesToTheModelNotToTheDefaultButtonAndTheModelMovesTheFocus) {
  auto* txtA = view->Widget<QLineEdit>("TxtA");
  txtA->setFocus();
  QTest::keyClick(txtA, Qt::Key_Return);
  ASSERT_FALSE(form.keys.empty());
  EXPECT_EQ(form.keys.back().first, 13);
  EXPECT_TRUE(form.clicks.empty());
  EXPECT_TRUE(form.IsOpen());
  EXPECT_TRUE(view->Widget<QLineEdit>("TxtB")->hasFocus());
  EXPECT_EQ(form.Focus(), "TxtB");

  QTest::keyClick(view->Widget<QLineEdit>("TxtB"), Qt::Key_Escape);  // Esc does not close the window
  EXPECT_TRUE(view->isVisible());
  EXPECT_EQ(form.keys.back().first, 27);
}

TEST_F(FormBinderTest, GridCurrentRowFollowsBothWays) {
  auto* grid = view->Widget<QTableView>("VfgList");
  EXPECT_EQ(grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("名称"));
  EXPECT_EQ(grid->model()->rowCount(), 3);
  form.SelectRow("VfgList", 3);
  EXPECT_EQ(grid->currentIndex().row(), 2);
  grid->setCurrentIndex(grid->model()->index(0, 0));
  EXPECT_EQ(form.grid.Row, 1);
  const QRect cell = grid->visualRect(grid->model()->index(1, 1));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(form.grid.Row, 2);
  QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
  ASSERT_FALSE(form.clicks.empty());
  EXPECT_EQ(form.clicks.back(), "VfgList:2,1");

  form.grid.SetRows(6);  // rows added by the screen appear once it says so
  form.grid.NotifyContents();
  EXPECT_EQ(grid->model()->rowCount(), 5);
}

// --- the modal run -------------------------------------------------------------------------

TEST(RunModalTest, TheFormRunsInItsRegisteredViewUntilItClosesAndTheCloseBoxAsksTheModel) {
  storeadjust::qt::RegisterFormView("FrmBinderTest", [](FormModel& form, QWidget* parent) {
    return std::make_unique<TestView>(form, parent);
  });
  storeadjust::qt::QtUserInterface ui;
  TestForm form;
  bool stayedAfterRefusal = false;
  qttest::WhenModalShows([&](QWidget& modal) {
    form.allowClose = false;
    modal.close();
    stayedAfterRefusal = modal.isVisible() && form.IsOpen();
    form.allowClose = true;
    modal.findChild<QPushButton*>("Cmd_Exit")->click();
  });
  storeadjust::ShowModal(ui, form);
  EXPECT_TRUE(stayedAfterRefusal);
  EXPECT_FALSE(form.IsOpen());
  EXPECT_EQ(form.clicks, std::vector<std::string>{"Cmd_Exit"});

  TestForm again;
  qttest::WhenModalShows([](QWidget& modal) { modal.close(); });
  storeadjust::ShowModal(ui, again);
  EXPECT_FALSE(again.IsOpen());
  storeadjust::qt::RegisterFormView("FrmBinderTest", nullptr);
}

}  // namespace
