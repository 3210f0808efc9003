// Every toolbar button, menu item and button a clerk can see does something he can tell: the
// screen changes, a window or dialog opens, a component of the system is called, or a message
// box says why nothing happened. A grey one says why in its tool tip instead, and is not clicked.
// The browser runs through the real desktop interface on the demo database, the editor for a new
// bill and for a stored one; each item is clicked as a clerk clicks it, and whatever opens on top
// is closed again (questions answered as Esc answers them). Operator 004, who may only add and
// print, meets grey buttons for the rest and never the no-permission message.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "DemoDesktop.h"
#include "QtTestSupport.h"
#include "browse/FrmStoreAdjuctBillBrow.h"
#include "host/Rights.h"

namespace {

using storeadjust::FormModel;

// The desktop interface, noting each call a command makes through it before it shows anything.
// The hourglass is not counted: a command that only shows it has still told the clerk nothing.
class RecordingUserInterface : public storeadjust::qt::QtUserInterface {
 public:
  std::vector<std::string> calls;

  int MsgBox(const std::string& text, int buttons, const std::string& title) override {
    calls.push_back("msgbox " + title + " " + text);
    return QtUserInterface::MsgBox(text, buttons, title);
  }
  long ChooseRow(const storeadjust::SelectionRequest& request, adodb::Recordset& rows) override {
    calls.push_back("choose");
    return QtUserInterface::ChooseRow(request, rows);
  }
  void NoteSelectionNotShown(const storeadjust::SelectionRequest& request, long rowCount) override {
    calls.push_back("selection not shown");
    QtUserInterface::NoteSelectionNotShown(request, rowCount);
  }
  storeadjust::GoodsPlaceAnswer ShowGoodsPlaces(const storeadjust::GoodsPlaceRequest& request) override {
    calls.push_back("goods places " + request.billType);
    return QtUserInterface::ShowGoodsPlaces(request);
  }
  void Print(const storeadjust::PrintRequest& request) override {
    calls.push_back("print " + request.serials);
    QtUserInterface::Print(request);
  }
  void Reprint(const storeadjust::ReprintRequest& request) override {
    calls.push_back("reprint");
    QtUserInterface::Reprint(request);
  }
  void RunModal(FormModel& form) override {
    calls.push_back("window " + form.Name());
    QtUserInterface::RunModal(form);
  }
};

// Closes whatever modal window opens above the screen under test, and notes what it closed:
// message boxes by their escape button (No for a question), other dialogs as their close box
// does. The progress of a long operation closes itself.
class ModalCloser {
 public:
  ModalCloser() {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] { CloseTopmost(); });
    timer_.start();
  }

  QWidget* home = nullptr;  // the window under test: never closed
  std::vector<std::string> closed;

 private:
  void CloseTopmost() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == home || qobject_cast<QProgressDialog*>(modal) != nullptr) return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      closed.push_back("box " + box->text().toStdString());
      QAbstractButton* escape = box->escapeButton();
      (escape != nullptr ? escape : box->buttons().front())->click();
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
      closed.push_back("dialog " + dialog->objectName().toStdString());
      dialog->reject();
    }
  }

  QTimer timer_;
};

// What a clerk could see of a screen: caption, focus, every control's state, every grid's cells
// and current row.
std::string Snapshot(FormModel& form) {
  std::string shown = form.Caption + "|" + form.Focus() + "|" + (form.IsOpen() ? "open" : "closed") + "\n";
  for (const std::string& name : form.ControlNames()) {
    const auto& state = form.Control(name);
    shown += name + "=" + state.text + "|" + state.caption + "|" + (state.visible ? "v" : "h") +
             (state.enabled ? "e" : "d") + "\n";
    if (storeadjust::GridModel* grid = form.Grid(name)) {
      shown += "row " + std::to_string(grid->Row) + "\n";
      for (long row = 0; row < grid->Rows(); ++row) {
        for (long col = 0; col < grid->Cols(); ++col) shown += grid->TextMatrix(row, col) + "\t";
        shown += "\n";
      }
    }
  }
  return shown;
}

// One thing to click: a toolbar button or menu item (an action) or a push button.
struct Item {
  std::string name;
  QAction* action = nullptr;
  QPushButton* button = nullptr;
  bool Enabled() const { return action != nullptr ? action->isEnabled() : button->isEnabled(); }
  std::string ToolTip() const { return (action != nullptr ? action->toolTip() : button->toolTip()).toStdString(); }
};

// The visible toolbar buttons and menu items of a window, then its visible push buttons bound to
// the model; the items named in `late` (a new bill, closing) come last, in that order.
std::vector<Item> VisibleItems(QWidget& window, const FormModel& form, const std::vector<std::string>& late) {
  std::vector<Item> items;
  for (QAction* action : window.findChildren<QAction*>()) {
    const std::string name = action->objectName().toStdString();
    if (name.empty() || name.starts_with("qt_") || !action->isVisible() || action->isSeparator()) continue;
    items.push_back({name, action, nullptr});
  }
  for (QPushButton* button : window.findChildren<QPushButton*>()) {
    const std::string name = button->objectName().toStdString();
    if (form.HasControl(name) && button->isVisible()) items.push_back({name, nullptr, button});
  }
  const auto rank = [&late](const Item& item) -> long {
    const auto found = std::find(late.begin(), late.end(), item.name);
    return found == late.end() ? -1 : found - late.begin();
  };
  std::stable_sort(items.begin(), items.end(), [&](const Item& a, const Item& b) { return rank(a) < rank(b); });
  return items;
}

// A toolbar button is clicked with the mouse; a menu item is chosen as the menu chooses it.
void ClickAsAClerk(QWidget& window, const Item& item) {
  if (item.button != nullptr) {
    QTest::mouseClick(item.button, Qt::LeftButton);
    return;
  }
  for (QToolBar* toolbar : window.findChildren<QToolBar*>()) {
    if (auto* shown = qobject_cast<QToolButton*>(toolbar->widgetForAction(item.action)); shown && shown->isVisible()) {
      QTest::mouseClick(shown, Qt::LeftButton);
      return;
    }
  }
  item.action->trigger();
}

struct WalkResult {
  std::vector<std::string> clicked;
  std::set<std::string> greyed;     // "name: tool tip"
  std::vector<std::string> refused;  // items that answered with the no-permission message
  std::vector<std::string> silent;  // items that did nothing a clerk could tell
  std::vector<std::string> leftOpen;
};

class CommandWalkTest : public qttest::DemoDesktop<RecordingUserInterface> {
 protected:
  // Runs `form` modally on the desktop and clicks every visible item of its window once,
  // `prepare` putting the screen into a state each item should be able to change first.
  WalkResult Walk(FormModel& form, const std::set<std::string>& skipped, const std::vector<std::string>& late,
                  const std::function<void()>& prepare) {
    WalkResult result;
    ModalCloser closer;
    QTimer::singleShot(0, [&] {
      QWidget* window = QApplication::activeModalWidget();
      if (window == nullptr) {
        ADD_FAILURE() << "the screen did not open";
        return;
      }
      closer.home = window;
      for (const Item& item : VisibleItems(*window, form, late)) {
        if (skipped.count(item.name) || !form.IsOpen()) continue;
        prepare();
        QApplication::processEvents();  // the screen's own timers, so they do not count as the item's work
        if (!item.Enabled()) {
          result.greyed.insert(item.name + ": " + item.ToolTip());
          EXPECT_EQ(item.ToolTip(), form.DisabledReason(item.name)) << item.name;
          continue;
        }
        const std::string before = Snapshot(form);
        ui.calls.clear();
        closer.closed.clear();
        ClickAsAClerk(*window, item);
        QApplication::processEvents();
        result.clicked.push_back(item.name);
        for (const std::string& call : ui.calls) {
          if (call.find(storeadjust::kNoRightMessage) != std::string::npos) result.refused.push_back(item.name);
        }
        if (before == Snapshot(form) && ui.calls.empty() && closer.closed.empty()) result.silent.push_back(item.name);
        if (form.IsOpen() && QApplication::activeModalWidget() != window) result.leftOpen.push_back(item.name);
      }
      if (form.IsOpen()) {
        ADD_FAILURE() << "the walk ended with " << form.Name() << " still open";
        form.Close();
      }
    });
    storeadjust::ShowModal(ui, form);
    EXPECT_EQ(ui.BusyDepth(), 0);
    return result;
  }
};

TEST_F(CommandWalkTest, EveryBrowserButtonAndMenuItemActsOrSaysWhy) {
  storeadjust::FrmStoreAdjuctBillBrow browser(session);
  // mnuExit closes the browser as 退出 does; it has a walk of its own below.
  const std::set<std::string> skipped = {"mnuExit"};
  const WalkResult walk = Walk(browser, skipped, {"新增", "退出"}, [&] {
    // From the second row: a refresh moves back to the first.
    if (browser.ListGrid().Rows() > 2) browser.SelectRow(storeadjust::FrmStoreAdjuctBillBrow::kGrid, 2);
  });
  EXPECT_EQ(walk.silent, std::vector<std::string>{});
  EXPECT_EQ(walk.leftOpen, std::vector<std::string>{});
  EXPECT_EQ(walk.greyed, std::set<std::string>{});
  std::vector<std::string> expected;
  for (const auto& button : storeadjust::FrmStoreAdjuctBillBrow::ToolbarButtons()) expected.push_back(button.key);
  for (const auto& menu : storeadjust::FrmStoreAdjuctBillBrow::Menus()) {
    for (const std::string item : menu.items) {
      if (item != "-" && !skipped.count(item)) expected.push_back(item);
    }
  }
  EXPECT_EQ(std::multiset<std::string>(walk.clicked.begin(), walk.clicked.end()),
            std::multiset<std::string>(expected.begin(), expected.end()));
  EXPECT_FALSE(browser.IsOpen());
}

TEST_F(CommandWalkTest, TheFileMenusExitClosesTheBrowser) {
  storeadjust::FrmStoreAdjuctBillBrow browser(session);
  qttest::WhenModalShows([](QWidget& window) { window.findChild<QAction*>(QStringLiteral("mnuExit"))->trigger(); });
  storeadjust::ShowModal(ui, browser);
  EXPECT_FALSE(browser.IsOpen());
}

// A new bill, a stored bill and an audited one. Every question is answered No, so a stored bill
// and its lines are as they were. What the bill's state rules out is grey (the commands would
// have said nothing, or refused); everything else acts.
TEST_F(CommandWalkTest, EveryEditorButtonActsOrSaysWhy) {
  struct Bill {
    const char* lsh;
    std::set<std::string> greyed;
    long lines;
    const char* audited;
  };
  const std::string noLines = "单据没有明细", notAudited = "单据未审核";
  const Bill bills[] = {
      {"",
       {"修改: " + noLines, "删除: " + noLines, "审核: " + noLines, "反审: " + noLines, "打印: " + noLines,
        "Cmd_Amend: " + noLines, "Cmd_Delete: " + noLines, "Cmd_Print: " + noLines, "记帐: 单据还没有保存",
        "Cmd_SaveReckoning: 单据还没有保存"},
       0,
       ""},
      {"DBD202403010001", {"反审: " + notAudited, "记帐: " + notAudited, "Cmd_SaveReckoning: " + notAudited}, 3, "0"},
      {"DBD202403020003",
       {"审核: 单据已审核", "修改: 单据已审核，不能修改", "Cmd_Amend: 单据已审核，不能修改", "删除: 单据已审核，不能删除",
        "Cmd_Delete: 单据已审核，不能删除", "Cmd_Save: 单据已审核，不能再添加数据"},
       2,
       "1"}};
  for (const Bill& bill : bills) {
    const storeadjust::EditorRequest request{
        bill.lines == 0 ? storeadjust::EditorRequest::Mode::New : storeadjust::EditorRequest::Mode::Amend, bill.lsh};
    storeadjust::FrmStoreAdjuctBill editor(session, request);
    // Before each item a remark typed and the focus on the goods: a new bill clears the one and
    // moves the other.
    const WalkResult walk = Walk(editor, {}, {"新增", "Cmd_Add", "退出"}, [&] {
      editor.Type("TxtBZ", "走查");
      editor.SetFocus("TxtHH");
    });
    EXPECT_EQ(walk.silent, std::vector<std::string>{}) << bill.lsh;
    EXPECT_EQ(walk.greyed, bill.greyed) << bill.lsh;
    EXPECT_EQ(walk.leftOpen, std::vector<std::string>{}) << bill.lsh;
    EXPECT_EQ(walk.clicked.size() + walk.greyed.size(), 17u) << bill.lsh;
    EXPECT_EQ(walk.clicked.back(), "退出");
    EXPECT_FALSE(editor.IsOpen());
    if (bill.lines == 0) continue;
    const std::string lsh = bill.lsh;
    EXPECT_EQ(db.Count("select count(*) from ckdbdzkmx where lsh='" + lsh + "'"), bill.lines);
    EXPECT_EQ(db.Value("select isnull(shbz,0) from ckdbdzk where lsh='" + lsh + "'"), bill.audited);
  }
}

// 王五 (004) holds 新增 and 打印 only: every other command that wants a right is grey and says
// which, and none he can press answers with the no-permission message.
TEST_F(CommandWalkTest, AnOperatorWithoutRightsSeesGreyButtonsThatSayWhy) {
  storeadjust::Session clerk = testsupport::OpenEditorSession(db, ui, "004");
  clerk.OptName = "王五";
  // Two bills of his own to list, so that marking and refreshing have rows to act on.
  db.Run({"update ckdbdzk set czry='王五' where lsh in ('DBD202403010001','DBD202403010002')"});
  const auto noRight = [](std::initializer_list<const char*> names, const char* right) {
    std::set<std::string> greyed;
    for (const char* name : names) greyed.insert(std::string(name) + ": 没有" + right + "权限");
    return greyed;
  };
  const auto joined = [](std::initializer_list<std::set<std::string>> sets) {
    std::set<std::string> all;
    for (const auto& set : sets) all.insert(set.begin(), set.end());
    return all;
  };

  storeadjust::FrmStoreAdjuctBillBrow browser(clerk);
  const WalkResult browserWalk = Walk(browser, {"mnuExit"}, {"新增", "退出"}, [&] {
    if (browser.ListGrid().Rows() > 2) browser.SelectRow(storeadjust::FrmStoreAdjuctBillBrow::kGrid, 2);
  });
  EXPECT_EQ(browserWalk.greyed, joined({noRight({"修改", "mnuNew"}, "修改"), noRight({"删除"}, "删除"),
                                        noRight({"报表", "mnuBrowInput"}, "报表"), noRight({"重打", "mnuCd"}, "重打"),
                                        noRight({"审核"}, "审核"), noRight({"过账", "记账"}, "记帐")}));
  EXPECT_EQ(browserWalk.refused, std::vector<std::string>{});
  EXPECT_EQ(browserWalk.silent, std::vector<std::string>{});

  storeadjust::FrmStoreAdjuctBill editor(clerk, {storeadjust::EditorRequest::Mode::Amend, "DBD202403010001"});
  const WalkResult editorWalk = Walk(editor, {}, {"新增", "Cmd_Add", "退出"}, [] {});
  EXPECT_EQ(editorWalk.greyed,
            joined({noRight({"修改", "Cmd_Amend"}, "修改"), noRight({"删除", "Cmd_Delete"}, "删除"),
                    noRight({"重打"}, "重打"), noRight({"审核"}, "审核"), noRight({"反审"}, "反审"),
                    noRight({"记帐", "Cmd_SaveReckoning"}, "记帐")}));
  EXPECT_EQ(editorWalk.refused, std::vector<std::string>{});
  EXPECT_EQ(editorWalk.silent, std::vector<std::string>{});
}

}  // namespace
