// Windows on a small screen (1024x768, or the test platform's own 800x600): each opens wholly on
// the free part of the screen, and in a window no larger than the screen every field of the
// editor's entry row, its header, grids and buttons lies inside the window, none over another.
#include <QCheckBox>
#include <QScreen>

#include "DemoDesktop.h"
#include "browse/FrmStoreAdjuctBillBrow.h"
#include "qt/BrowserView.h"
#include "qt/ScreenFit.h"

namespace {

std::string Shown(const QRect& at) {
  return std::to_string(at.x()) + "," + std::to_string(at.y()) + " " + std::to_string(at.width()) + "x" +
         std::to_string(at.height());
}

class ScreenFitTest : public qttest::DemoDesktop<> {
 protected:
  static QRect FreeScreen(const QWidget& window) { return window.screen()->availableGeometry(); }

  // What the clerk works with in the editor, each by its control name.
  std::vector<QWidget*> EditorWidgets() const {
    std::vector<QWidget*> widgets;
    for (const char* name : {"TxtLSH", "DTPKdrq", "TxtCzryName", "TxtBcCkID", "txtBcCkName", "CmdGoodsPlace",
                             "txtBrCKid", "txtBrCkName", "Command1", "TxtSh", "TxtBZ", "TxtHH", "txtJl", "txtDw",
                             "txtXs", "TxtPh", "TxtDj", "TxtSl", "TxtJe", "TxtLsze", "Chk1", "VfgContent",
                             "LblSumLsze", "VfgSpxx", "Cmd_Add", "Cmd_Amend", "Cmd_Delete", "Cmd_SaveReckoning",
                             "Cmd_Print", "Cmd_Save"}) {
      widgets.push_back(view->findChild<QWidget*>(QString::fromUtf8(name)));
      EXPECT_NE(widgets.back(), nullptr) << name;
    }
    return widgets;
  }

  // The editor's window at `size`, as a clerk makes it on a small screen: every widget wholly in
  // it, at a usable size, and none over another.
  void ExpectWholeEditorAt(QSize size) {
    view->resize(size);
    QApplication::processEvents();
    ASSERT_EQ(view->size(), size) << "the window cannot be made that small";
    std::vector<std::pair<QWidget*, QRect>> placed;
    for (QWidget* widget : EditorWidgets()) {
      if (widget == nullptr) continue;
      const QRect at(widget->mapTo(view.get(), QPoint(0, 0)), widget->size());
      const QString name = widget->objectName();
      EXPECT_TRUE(widget->isVisibleTo(view.get())) << name.toStdString();
      EXPECT_TRUE(view->rect().contains(at)) << name.toStdString() << " at " << Shown(at) << " in " << Shown(view->rect());
      EXPECT_GE(at.width(), std::min({widget->sizeHint().width(), widget->maximumWidth(), 40})) << name.toStdString();
      EXPECT_GE(at.height(), std::min(widget->sizeHint().height(), 20)) << name.toStdString();
      for (const auto& [other, otherAt] : placed) {
        EXPECT_FALSE(at.intersects(otherAt)) << name.toStdString() << " over " << other->objectName().toStdString();
      }
      placed.emplace_back(widget, at);
    }
  }
};

TEST_F(ScreenFitTest, TheBrowserAndTheEditorOpenWhollyOnTheScreen) {
  storeadjust::FrmStoreAdjuctBillBrow browser{session};
  browser.Load();
  storeadjust::qt::BrowserView browserView(browser);
  browserView.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&browserView));
  const QRect screen = FreeScreen(browserView);
  ASSERT_LT(screen.width(), 1100) << "the test needs a screen narrower than the windows ask for";
  EXPECT_TRUE(screen.contains(browserView.frameGeometry())) << Shown(browserView.frameGeometry()) << " on " << Shown(screen);

  OpenEditor("DBD202403010001");
  EXPECT_TRUE(screen.contains(view->frameGeometry())) << Shown(view->frameGeometry()) << " on " << Shown(screen);
  form->Close();
}

// The editor filling a screen of 1024x768 less a panel, and the test platform's whole screen.
TEST_F(ScreenFitTest, EveryFieldTheClerkNeedsLiesInTheEditorOnASmallScreen) {
  OpenEditor("DBD202403010001");
  ExpectWholeEditorAt(QSize(1024, 768 - 40));
  ExpectWholeEditorAt(FreeScreen(*view).size());
  form->Close();
}

}  // namespace
