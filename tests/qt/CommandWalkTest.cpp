// Every toolbar button, menu item and button a clerk can see does something he can tell: the
// screen changes, a window or dialog opens, a component of the system is called, or a message
// box says why nothing happened. The browser runs through the real desktop interface on the demo
// database, the editor for a new bill and for a stored one; each item is clicked as a clerk
// clicks it, and whatever opens on top is closed again (questions answered as Esc answers them).
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

#include "QtTestSupport.h"
#include "browse/FrmStoreAdjuctBillBrow.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "qt/QtUserInterface.h"
#include "support/ModuleSession.h"

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
  std::vector<std::string> silent;  // items that did nothing a clerk could tell
  std::vector<std::string> leftOpen;
};

class CommandWalkTest : public ::testing::Test {
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
        const std::string before = Snapshot(form);
        ui.calls.clear();
        closer.closed.clear();
        ClickAsAClerk(*window, item);
        QApplication::processEvents();
        result.clicked.push_back(item.name);
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

  testsupport::TempDatabase db{storeadjust::db::CreateDemoDatabase};
  RecordingUserInterface ui;
  storeadjust::Session session = testsupport::OpenEditorSession(db, ui);
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
// and its lines are as they were.
TEST_F(CommandWalkTest, EveryEditorButtonActsOrSaysWhy) {
  struct Bill {
    const char* lsh;
    std::set<std::string> quiet;  // what may rightly say nothing
    long lines;
    const char* audited;
  };
  const Bill bills[] = {
      // Without lines there is no line and no bill to act on (or print), and by the module's rules
      // nothing is said (tests/scenarios/states/dispatch.scn holds 审核 and 反审 to it).
      {"", {"修改", "删除", "审核", "反审", "Cmd_Amend", "Cmd_Delete", "打印", "Cmd_Print"}, 0, ""},
      // Un-audit of a bill that is not audited selects no line and says nothing, as a second audit
      // is quiet in tests/scenarios/states/one_step.scn.
      {"DBD202403010001", {"反审"}, 3, "0"},
      {"DBD202403020003", {}, 2, "1"}};
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
    for (const std::string& name : walk.silent) EXPECT_TRUE(bill.quiet.count(name)) << bill.lsh << " " << name;
    EXPECT_EQ(walk.leftOpen, std::vector<std::string>{}) << bill.lsh;
    EXPECT_GE(walk.clicked.size(), 12u) << bill.lsh;
    EXPECT_EQ(walk.clicked.back(), "退出");
    EXPECT_FALSE(editor.IsOpen());
    if (bill.lines == 0) continue;
    const std::string lsh = bill.lsh;
    EXPECT_EQ(db.Count("select count(*) from ckdbdzkmx where lsh='" + lsh + "'"), bill.lines);
    EXPECT_EQ(db.Value("select isnull(shbz,0) from ckdbdzk where lsh='" + lsh + "'"), bill.audited);
  }
}

}  // namespace
