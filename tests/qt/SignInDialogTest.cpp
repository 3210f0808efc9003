// The launcher's sign-in dialog on the desktop: Enter signs in with the code and password typed,
// a refusal is shown and the password is cleared, and after three failures the next try must wait.
#include <optional>
#include <string>
#include <utility>

#include <QClipboard>
#include <QRegularExpression>

#include "QtTestSupport.h"
#include "qt/SignInDialog.h"

namespace {

using storeadjust::qt::SignInAnswer;

// Signs in 002 with demo002 only, counting the tries.
std::optional<storeadjust::qt::SignedIn> SignIn(int& tries, std::function<void(QWidget& modal)> act,
                                                std::string* codeAtCancel = nullptr) {
  qttest::WhenModalShows(std::move(act));
  return storeadjust::qt::RunSignInDialog(
      "001",
      [&tries](const std::string& code, const std::string& password) {
        ++tries;
        if (code == "002" && password == "demo002") return SignInAnswer{true, "张三"};
        if (code == "009") return SignInAnswer{false, "操作员编号 009 不在 Operators 表中，请输入一个已有的操作员编号。", 0, true};
        return SignInAnswer{false, "操作员 " + code + " 的密码不对，没有登录。"};
      },
      codeAtCancel);
}

QLineEdit& Edit(QWidget& modal, const char* name) { return *modal.findChild<QLineEdit*>(QString::fromLatin1(name)); }

TEST(SignInDialogTest, EnterSignsInWithTheCodeAndPasswordTypedAfterTabHasPassedOverCancel) {
  int tries = 0;
  const auto signedIn = SignIn(tries, [](QWidget& modal) {
    if (!QTest::qWaitForWindowActive(&modal)) {  // without focus Enter would go nowhere
      ADD_FAILURE() << "the sign-in dialog never became active";
      modal.close();
      return;
    }
    QLineEdit& code = Edit(modal, "TxtOptCode");
    QLineEdit& password = Edit(modal, "TxtPassword");
    EXPECT_EQ(password.echoMode(), QLineEdit::Password);
    // Tab round the dialog, over 取消 and back to the code: Enter still signs in, never cancels.
    for (int step = 0; step < 3; ++step) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(code.hasFocus());
    code.clear();
    QTest::keyClick(&code, Qt::Key_Return);  // on to the password, no try spent
    EXPECT_TRUE(password.hasFocus());
    qttest::TypeText(password, QStringLiteral("demo002"));
    QTest::keyClick(&password, Qt::Key_Return);  // no code: it is asked for, no try spent
    EXPECT_TRUE(code.hasFocus());
    EXPECT_EQ(modal.findChild<QLabel*>(QStringLiteral("LblMessage"))->text(), QStringLiteral("请输入操作员编号。"));
    qttest::TypeText(code, QStringLiteral("009"));
    QTest::keyClick(&code, Qt::Key_Return);  // the password typed is still there
    // No password signs in a code that is not there: the clerk is put back on the code, to type over it.
    EXPECT_TRUE(code.hasFocus());
    EXPECT_EQ(code.selectedText(), QStringLiteral("009"));
    qttest::TypeText(code, QStringLiteral("002"));
    QTest::keyClick(&code, Qt::Key_Tab);
    // Copied from a note with its line's end, the password still signs in.
    QApplication::clipboard()->setText(QStringLiteral("demo002\r\n"));
    QTest::keyClick(&password, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&password, Qt::Key_Return);
    if (modal.isVisible()) modal.close();
  });
  ASSERT_TRUE(signedIn);
  EXPECT_EQ(signedIn->code, "002");
  EXPECT_EQ(signedIn->name, "张三");
  EXPECT_EQ(tries, 2);
}

TEST(SignInDialogTest, RefusalsClearThePasswordAndTheFourthTryMustWait) {
  int tries = 0;
  std::string codeAtCancel;
  bool waitShown = false;
  bool refusalShown = false;
  bool enterDuringWaitAnswered = false;
  const auto signedIn = SignIn(tries, [&](QWidget& modal) {
    QLineEdit& password = Edit(modal, "TxtPassword");
    auto* signIn = modal.findChild<QPushButton*>(QStringLiteral("Cmd_SignIn"));
    auto* message = modal.findChild<QLabel*>(QStringLiteral("LblMessage"));
    for (int i = 0; i < 3; ++i) QTest::keyClick(&password, Qt::Key_Return);  // nothing typed: no guess
    for (int i = 0; i < 3; ++i) {
      qttest::TypeText(password, QStringLiteral("guess"));
      QTest::keyClick(&password, Qt::Key_Return);
      EXPECT_TRUE(password.text().isEmpty()) << i;
    }
    refusalShown = message->text().startsWith(QStringLiteral("操作员 001 的密码不对，没有登录。"));
    waitShown = message->text().contains(QStringLiteral("请等 2 秒再试。"));
    EXPECT_FALSE(signIn->isEnabled());
    qttest::TypeText(password, QStringLiteral("demo001"));
    QTest::keyClick(&password, Qt::Key_Return);  // taken no further while the wait runs
    // ... but the clerk is told why, in the dialog itself and with no box over it.
    enterDuringWaitAnswered =
        message->text().startsWith(QStringLiteral("操作员 001 的密码不对，没有登录。\n")) &&
        message->text().contains(QRegularExpression(QStringLiteral("还需等候 [12] 秒才能再试，请稍候。$")));
    EXPECT_EQ(QApplication::activeModalWidget(), &modal);
    EXPECT_EQ(password.text(), QStringLiteral("demo001"));
    // Once the button is back the refusal no longer asks to wait.
    EXPECT_TRUE(QTest::qWaitFor([signIn] { return signIn->isEnabled(); }, 10000));
    EXPECT_EQ(message->text(), QStringLiteral("操作员 001 的密码不对，没有登录。"));
    Edit(modal, "TxtOptCode").setText(QStringLiteral("003"));
    QTest::keyClick(&password, Qt::Key_Escape);
  }, &codeAtCancel);
  EXPECT_FALSE(signedIn);
  EXPECT_EQ(codeAtCancel, "003");  // the code typed, not the one the dialog opened with
  EXPECT_EQ(tries, 6);
  EXPECT_TRUE(refusalShown);
  EXPECT_TRUE(waitShown);
  EXPECT_TRUE(enterDuringWaitAnswered);
}

}  // namespace
