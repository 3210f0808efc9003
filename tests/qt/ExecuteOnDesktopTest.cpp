// The host's Execute on the desktop: its failure reaches the user as a real dialog.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>

#include "QtTestSupport.h"
#include "host/StoreAdjuctBill.h"
#include "qt/QtUserInterface.h"

namespace {

TEST(ExecuteOnDesktopTest, ARefusedConnectionStringIsShownAsAnExclamationDialog) {
  storeadjust::qt::QtUserInterface ui;
  storeadjust::StoreAdjuctBill bill(ui);
  bill.SetConnStr("Provider=NoSuchProvider;Data Source=x");
  bill.SetOptCode("001");
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  qttest::WhenModalShows([&](QWidget& modal) {
    auto* box = qobject_cast<QMessageBox*>(&modal);
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    box->buttons().front()->click();
  });
  bill.Execute();
  EXPECT_EQ(title, QStringLiteral("系统提示"));
  EXPECT_EQ(icon, QMessageBox::Warning);
  EXPECT_FALSE(text.isEmpty());
}

}  // namespace
