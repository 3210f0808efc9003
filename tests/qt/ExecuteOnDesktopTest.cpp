// The host's Execute on the desktop: its failure reaches the user as a real dialog.
#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "host/StoreAdjuctBill.h"
#include "qt/QtUserInterface.h"

namespace {

TEST(ExecuteOnDesktopTest, ARefusedConnectionStringIsShownAsAnExclamationDialog) {
  storeadjust::qt::QtUserInterface ui;
  storeadjust::StoreAdjuctBill bill(ui);
  bill.SetConnStr("Provider=NoSuchProvider;Data Source=x");
  bill.SetOptCode("001");
  qttest::ShownBox shown;
  qttest::DismissNextBox(shown);
  bill.Execute();
  EXPECT_EQ(shown.title, QStringLiteral("系统提示"));
  EXPECT_EQ(shown.icon, QMessageBox::Warning);
  EXPECT_TRUE(shown.text.contains(QStringLiteral("Provider cannot be found")));
}

}  // namespace
