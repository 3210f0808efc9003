// Classic message boxes on the desktop answer the keys the clerk presses with the classic numbers;
// the progress of long work cannot be cancelled; a wait for another clerk
// is shown at once.
#include "QtTestSupport.h"
#include <QClipboard>
#include <QDialog>
#include <QTimer>
#include <vector>

#include "host/SessionConnection.h"
#include "qt/ClassicMessageBox.h"
#include "qt/QtUserInterface.h"

namespace {

using storeadjust::qt::QtUserInterface;

// Enter takes the default (No where 256 is set), Esc answers No, and the questions say "[Y/N]":
// Y and N answer them whichever button is the default.
TEST(ClassicMessageBoxTest, EnterEscYAndNAnswerAsTheClerkExpects) {
  QtUserInterface ui;
  const auto answer = [&ui](std::vector<Qt::Key> keys, int buttons) {
    qttest::WhenModalShows([keys](QWidget& modal) {
      for (Qt::Key key : keys) QTest::keyClick(&modal, key);
    });
    return ui.MsgBox("您确定要删除吗？[Y/N]", buttons, "提示:");
  };
  EXPECT_EQ(answer({Qt::Key_Return}, 292), 7);
  EXPECT_EQ(answer({Qt::Key_Escape}, 4 + 32), 7);
  EXPECT_EQ(answer({Qt::Key_Y}, 292), 6);
  EXPECT_EQ(answer({Qt::Key_N}, 4 + 64), 7);
  qttest::WhenModalShows([](QWidget& modal) { QTest::keyClick(modal.focusWidget(), Qt::Key_C, Qt::ControlModifier); });
  EXPECT_EQ(answer({Qt::Key_Return}, 48), 1);  // Ctrl+C copies the text for the clerk's report
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("您确定要删除吗？[Y/N]"));

  // A short answer's box reads its whole title: beside a frame's icon and three buttons "系统提示"
  // was cut to "系… 示". The box is as wide as the bold title and room for a frame's icon and buttons.
  qttest::WhenModalShows([](QWidget& modal) {
    QFont bold = modal.font();
    bold.setBold(true);
    const QFontMetrics title(bold);
    EXPECT_GE(modal.width(), title.horizontalAdvance(modal.windowTitle()) + 8 * modal.fontMetrics().height());
    QTest::keyClick(&modal, Qt::Key_Return);
  });
  EXPECT_EQ(ui.MsgBox("审批提交成功!", 64, "系统提示"), 1);
}

// A long state change shows how far it is from inside its transaction, with no way to stop
// half-way, and runs none of the window's timers meanwhile.
TEST(ClassicMessageBoxTest, ProgressHasNoCancelAndRunsNoEvents) {
  QtUserInterface ui;
  QDialog window;
  window.resize(480, 320);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QApplication::setActiveWindow(&window);
  bool eventsRan = false;
  QTimer::singleShot(0, &window, [&eventsRan] { eventsRan = true; });
  ui.ShowProgress("正在处理第 5 行 (货号 0001)", 5, 300);
  ASSERT_NE(ui.Progress(), nullptr);
  EXPECT_EQ(ui.Progress()->format(), QStringLiteral("正在处理第 5 行 (货号 0001)"));
  EXPECT_EQ(ui.Progress()->value(), 5);
  EXPECT_EQ(ui.Progress()->findChild<QPushButton*>(), nullptr);
  ui.ShowProgress("", 0, 0);
  EXPECT_EQ(ui.Progress(), nullptr);
  EXPECT_FALSE(eventsRan);
}

// The database tells of the wait from inside its statement: the note and the hourglass show there
// and then, before any timer or key of the clerk's runs; when the wait ends they go.
TEST(ClassicMessageBoxTest, AWaitForAnotherClerkIsShownWithoutRunningEvents) {
  QDialog window;
  window.setModal(true);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QApplication::processEvents();
  bool eventsRan = false;
  QTimer::singleShot(0, &window, [&eventsRan] { eventsRan = true; });
  QtUserInterface ui;
  ui.ShowWaitStatus(storeadjust::LockWaitText(2028));
  ASSERT_NE(ui.WaitStatus(), nullptr);
  EXPECT_EQ(ui.WaitStatus()->text(), QStringLiteral("数据库正被其他操作员占用，正在等候…（已等候2秒）"));
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  ui.ShowWaitStatus("");
  EXPECT_EQ(ui.WaitStatus(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_FALSE(eventsRan);
}

}  // namespace
