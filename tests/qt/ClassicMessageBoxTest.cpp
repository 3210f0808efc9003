// Classic message-box numbers on the desktop: icon, buttons with their Chinese texts, the default
// button, and the answer of the button the user presses.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "QtTestSupport.h"
#include "qt/ClassicMessageBox.h"
#include "qt/QtUserInterface.h"

namespace {

using storeadjust::qt::MakeClassicMessageBox;
using storeadjust::qt::QtUserInterface;

QStringList ButtonTexts(const QMessageBox& box) {
  QStringList texts;
  for (QAbstractButton* button : box.buttons()) texts << button->text();
  texts.sort();
  return texts;
}

TEST(ClassicMessageBoxTest, NumbersGiveIconButtonsAndDefault) {
  std::unique_ptr<QMessageBox> refusal(MakeClassicMessageBox("对不起，你没有此权限！", 48, "系统提示", nullptr));
  EXPECT_EQ(refusal->icon(), QMessageBox::Warning);
  EXPECT_EQ(ButtonTexts(*refusal), QStringList{QStringLiteral("确定")});
  EXPECT_EQ(refusal->windowTitle(), QStringLiteral("系统提示"));

  std::unique_ptr<QMessageBox> question(MakeClassicMessageBox("是否删除？", 292, "提示:", nullptr));
  EXPECT_EQ(question->icon(), QMessageBox::Question);
  EXPECT_EQ(ButtonTexts(*question), (QStringList{QStringLiteral("否"), QStringLiteral("是")}));
  ASSERT_NE(question->defaultButton(), nullptr);
  EXPECT_EQ(question->defaultButton()->text(), QStringLiteral("否"));

  std::unique_ptr<QMessageBox> plainQuestion(MakeClassicMessageBox("继续？", 4 + 64, "提示:", nullptr));
  EXPECT_EQ(plainQuestion->icon(), QMessageBox::Information);
  EXPECT_EQ(plainQuestion->defaultButton()->text(), QStringLiteral("是"));

  std::unique_ptr<QMessageBox> failure(MakeClassicMessageBox("错误", 16 + 1, "错误:", nullptr));
  EXPECT_EQ(failure->icon(), QMessageBox::Critical);
  EXPECT_EQ(ButtonTexts(*failure), (QStringList{QStringLiteral("取消"), QStringLiteral("确定")}));

  std::unique_ptr<QMessageBox> three(MakeClassicMessageBox("保存？", 3 + 32 + 512, "提示:", nullptr));
  EXPECT_EQ(three->buttons().size(), 3);
  EXPECT_EQ(three->defaultButton()->text(), QStringLiteral("取消"));
}

TEST(ClassicMessageBoxTest, EnterTakesTheSecondButtonWhere256IsSetAndEscAnswersNo) {
  QtUserInterface ui;
  qttest::WhenModalShows([](QWidget& modal) { QTest::keyClick(&modal, Qt::Key_Return); });
  EXPECT_EQ(ui.MsgBox("是否删除？", 292, "提示:"), 7);
  qttest::WhenModalShows([](QWidget& modal) { QTest::keyClick(&modal, Qt::Key_Escape); });
  EXPECT_EQ(ui.MsgBox("是否删除？", 4 + 32, "提示:"), 7);
}

TEST(ClassicMessageBoxTest, BusyPointerNests) {
  QtUserInterface ui;
  ui.SetBusy(true);
  ui.SetBusy(true);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  ui.SetBusy(false);
  EXPECT_NE(QApplication::overrideCursor(), nullptr);
  ui.SetBusy(false);
  ui.SetBusy(false);  // one too many is ignored
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(ui.BusyDepth(), 0);
}

}  // namespace

// A long state change shows how far it is, and offers no way to stop half-way.
TEST(QtProgressTest, ProgressNamesTheStepHasNoCancelAndEnds) {
  storeadjust::qt::QtUserInterface ui;
  ui.ShowProgress("正在处理第 5 行 (货号 0001)", 5, 300);
  ASSERT_NE(ui.Progress(), nullptr);
  EXPECT_EQ(ui.Progress()->labelText(), QStringLiteral("正在处理第 5 行 (货号 0001)"));
  EXPECT_EQ(ui.Progress()->maximum(), 300);
  EXPECT_EQ(ui.Progress()->value(), 5);
  EXPECT_EQ(ui.Progress()->findChild<QPushButton*>(), nullptr);
  ui.ShowProgress("", 0, 0);
  EXPECT_EQ(ui.Progress(), nullptr);
}

// The questions say "[Y/N]": the keys Y and N answer them, whichever button is the default.
TEST(ClassicMessageBoxKeysTest, YAndNAnswerYesNoQuestions) {
  QtUserInterface ui;
  qttest::WhenModalShows([](QWidget& modal) { QTest::keyClick(&modal, Qt::Key_Y); });
  EXPECT_EQ(ui.MsgBox("您确定要删除吗？[Y/N]", 292, "提示:"), 6);
  qttest::WhenModalShows([](QWidget& modal) { QTest::keyClick(&modal, Qt::Key_N); });
  EXPECT_EQ(ui.MsgBox("你确实要将所选单据记账吗?", 4 + 64, "系统提示"), 7);
  qttest::WhenModalShows([](QWidget& modal) { QTest::keyClick(&modal, Qt::Key_Y); });
  EXPECT_EQ(ui.MsgBox("保存？", 3 + 32 + 512, "提示:"), 6);
}

TEST(ClassicMessageBoxKeysTest, OtherLettersLeaveTheQuestionOpen) {
  QtUserInterface ui;
  bool stillOpen = false;
  qttest::WhenModalShows([&stillOpen](QWidget& modal) {
    QTest::keyClick(&modal, Qt::Key_X);
    QTest::keyClick(&modal, Qt::Key_O);
    QApplication::processEvents();
    stillOpen = QApplication::activeModalWidget() == &modal;
    QTest::keyClick(&modal, Qt::Key_N);
  });
  EXPECT_EQ(ui.MsgBox("您确定要删除吗？[Y/N]", 292, "提示:"), 7);
  EXPECT_TRUE(stillOpen);
}
