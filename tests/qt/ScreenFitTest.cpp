// Windows on a small screen (the test platform's own 800x600): each opens wholly on the free part
// of the screen.
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

using ScreenFitTest = qttest::DemoDesktop<>;

TEST_F(ScreenFitTest, TheBrowserAndTheEditorOpenWhollyOnTheScreen) {
  storeadjust::FrmStoreAdjuctBillBrow browser{session};
  browser.Load();
  storeadjust::qt::BrowserView browserView(browser);
  browserView.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&browserView));
  const QRect screen = browserView.screen()->availableGeometry();
  ASSERT_LT(screen.width(), 1100) << "the test needs a screen narrower than the windows ask for";
  EXPECT_TRUE(screen.contains(browserView.frameGeometry())) << Shown(browserView.frameGeometry()) << " on " << Shown(screen);

  OpenEditor("DBD202403010001");
  EXPECT_TRUE(screen.contains(view->frameGeometry())) << Shown(view->frameGeometry()) << " on " << Shown(screen);
  form->Close();
}

}  // namespace
