// Every toolbar button, menu item and button a clerk can see does something he can tell: the
// screen changes or a window, dialog or message box opens. A grey one says why in its tool tip
// (the model's reason) instead, and is not clicked. The browser and the editor run modally through
// the real desktop interface on the demo database; each button is clicked and each action
// triggered, and whatever opens on top is closed again (questions answered as Esc answers them).
#include <QProgressDialog>
#include <QTimer>
#include <algorithm>
#include <set>
#include <vector>

#include "DemoDesktop.h"
#include "browse/FrmStoreAdjuctBillBrow.h"
#include "db/SqliteFile.h"
#include "host/Rights.h"

namespace {

using storeadjust::FormModel;
using storeadjust::FrmStoreAdjuctBillBrow;
using Names = std::set<std::string>;

// A read held open lets writes through but keeps the write-ahead log from ever being folded back
// into the file: another clerk's checkpoint finds it busy.
void ExpectNoReaderHeld(storeadjust::db::SqliteFile& otherClerk, const std::string& when) {
  EXPECT_EQ(otherClerk.QueryNumber("pragma wal_checkpoint(TRUNCATE)"), 0) << "a read is held open " << when;
}

// Closes whatever modal window opens above the screen under test and notes what it closed:
// message boxes by their escape button (No for a question), other dialogs as their close box
// does. The progress of a long operation closes itself. While each waits on the clerk, another
// clerk's write must go through at once, and a checkpoint too: nothing the screen holds open may
// lock the database for everyone.
class ModalCloser {
 public:
  ModalCloser() {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] { CloseTopmost(); });
    timer_.start();
  }

  QWidget* home = nullptr;  // the window under test: never closed
  std::vector<std::string> closed;
  std::unique_ptr<storeadjust::db::SqliteFile> otherClerk;  // waits for no lock

 private:
  void CloseTopmost() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == home || qobject_cast<QProgressDialog*>(modal) != nullptr) return;
    EXPECT_NO_THROW(otherClerk->Execute("begin immediate; rollback"));
    ExpectNoReaderHeld(*otherClerk, "while " + modal->objectName().toStdString() + " waits");
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

// What a clerk could see of a screen: caption, focus, every control's state and every grid's cells.
std::string Snapshot(FormModel& form) {
  std::string shown = form.Caption + "|" + form.Focus() + "|" + (form.IsOpen() ? "open" : "closed") + "\n";
  for (const std::string& name : form.ControlNames()) {
    const auto& state = form.Control(name);
    shown += name + "=" + state.text + "|" + state.caption + (state.visible ? "v" : "h") + (state.enabled ? "e" : "d");
    if (storeadjust::GridModel* grid = form.Grid(name)) {
      shown += " row " + std::to_string(grid->Row);
      for (long row = 0; row < grid->Rows(); ++row) {
        for (long col = 0; col < grid->Cols(); ++col) shown += "\t" + grid->TextMatrix(row, col);
      }
    }
    shown += "\n";
  }
  return shown;
}

// One thing to click: a toolbar button or menu item (a QAction) or a push button bound to the
// model. Both carry the enabled and toolTip properties.
struct Item {
  std::string name;
  QObject* control = nullptr;
  bool Enabled() const { return control->property("enabled").toBool(); }
  std::string ToolTip() const { return control->property("toolTip").toString().toStdString(); }
};

// The visible items of a window; those named in `late` (a new bill, closing) come last, in that order.
std::vector<Item> VisibleItems(QWidget& window, const FormModel& form, const std::vector<std::string>& late) {
  std::vector<Item> items;
  for (QAction* action : window.findChildren<QAction*>()) {
    const std::string name = action->objectName().toStdString();
    if (name.empty() || name.starts_with("qt_") || !action->isVisible() || action->isSeparator()) continue;
    items.push_back({name, action});
  }
  for (QPushButton* button : window.findChildren<QPushButton*>()) {
    const std::string name = button->objectName().toStdString();
    if (form.HasControl(name) && button->isVisible()) items.push_back({name, button});
  }
  const auto rank = [&late](const Item& item) -> long {
    const auto found = std::find(late.begin(), late.end(), item.name);
    return found == late.end() ? -1 : found - late.begin();
  };
  std::stable_sort(items.begin(), items.end(), [&](const Item& a, const Item& b) { return rank(a) < rank(b); });
  return items;
}

// A menu item or toolbar button is triggered as its menu or tool button triggers it (that a tool
// button triggers its action is Qt's part); a push button is clicked with the mouse.
void ClickAsAClerk(const Item& item) {
  if (auto* button = qobject_cast<QPushButton*>(item.control)) {
    QTest::mouseClick(button, Qt::LeftButton);
  } else {
    qobject_cast<QAction*>(item.control)->trigger();
  }
}

struct WalkResult {
  std::multiset<std::string> clicked;
  Names greyed;  // "name: tool tip"
};

class CommandWalkTest : public qttest::DemoDesktop<> {
 protected:
  // Runs `form` modally and clicks every visible item of its window once, after `prepare` has put
  // the screen into a state each item should be able to change. Every click must show something,
  // none may be refused for want of a right (such items are grey), none may leave a window open,
  // and the last one must close the screen.
  WalkResult Walk(FormModel& form, const Names& skipped, const std::vector<std::string>& late,
                  const std::function<void()>& prepare) {
    WalkResult result;
    ModalCloser closer;
    closer.otherClerk = std::make_unique<storeadjust::db::SqliteFile>(db.Path());
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
        closer.closed.clear();
        ClickAsAClerk(item);
        QApplication::processEvents();
        ExpectNoReaderHeld(*closer.otherClerk, "after " + item.name);
        result.clicked.insert(item.name);
        EXPECT_FALSE(before == Snapshot(form) && closer.closed.empty()) << item.name << " did nothing to see";
        // A box saying the desktop has no window for a screen would otherwise pass as something shown.
        for (const std::string& box : closer.closed) {
          EXPECT_EQ(box.find(storeadjust::kNoRightMessage), std::string::npos) << item.name << " is refused, not grey";
          EXPECT_EQ(box.find("尚未提供"), std::string::npos) << item.name << " opens a screen the desktop cannot show";
        }
        EXPECT_TRUE(!form.IsOpen() || QApplication::activeModalWidget() == window) << item.name << " left a window open";
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
  // The browser walked from its second row, whose remark another clerk changes before each item
  // (what a refresh is for), closed by 退出.
  WalkResult WalkBrowser(storeadjust::Session& as) {
    FrmStoreAdjuctBillBrow browser(as);
    int changes = 0;
    return Walk(browser, {"mnuExit"}, {"新增", "退出"}, [&] {
      if (browser.ListGrid().Rows() > 2) browser.SelectRow(FrmStoreAdjuctBillBrow::kGrid, 2);
      db.Run({"update ckdbdzk set bz='" + std::to_string(++changes) + "' where lsh='DBD202403010002'"});
    });
  }
  // The editor on bill `lsh` (a new bill for ""), text typed in the goods field, and the focus there,
  // before each item: a new bill clears the one and moves the other. (A remark typed over a stored
  // bill would keep 退出 asking, and the walk answers every question No.)
  WalkResult WalkEditor(storeadjust::Session& as, const std::string& lsh) {
    using Mode = storeadjust::EditorRequest::Mode;
    storeadjust::FrmStoreAdjuctBill editor(as, {lsh.empty() ? Mode::New : Mode::Amend, lsh});
    return Walk(editor, {}, {"新增", "Cmd_Add", "退出"}, [&] {
      editor.Type("TxtHH", "走查");
      editor.SetFocus("TxtHH");
    });
  }
};

// Every toolbar button and menu item of the model has its item in the window, and all act.
TEST_F(CommandWalkTest, EveryBrowserButtonAndMenuItemActs) {
  const WalkResult walk = WalkBrowser(session);
  EXPECT_EQ(walk.greyed, Names{});
  std::multiset<std::string> expected;
  for (const auto& button : FrmStoreAdjuctBillBrow::ToolbarButtons()) expected.insert(button.key);
  for (const auto& menu : FrmStoreAdjuctBillBrow::Menus()) {
    for (const std::string item : menu.items) {
      if (item != "-" && item != "mnuExit") expected.insert(item);
    }
  }
  EXPECT_EQ(walk.clicked, expected);
}

// A new bill, a stored bill and an audited one (questions answered No leave a stored bill as it
// was). What the bill's state rules out is grey with the model's reason, everything else acts.
TEST_F(CommandWalkTest, EveryEditorButtonActsOrSaysWhy) {
  for (const char* lsh : {"", "DBD202403010001", "DBD202403020003"}) {
    SCOPED_TRACE(lsh);
    const WalkResult walk = WalkEditor(session, lsh);
    EXPECT_FALSE(walk.greyed.empty());
    EXPECT_EQ(walk.clicked.size() + walk.greyed.size(), 17u);
  }
}

}  // namespace
