// The launcher's sign-in dialog on the desktop: Enter signs in with the code and password typed,
// a refusal is shown in full without squeezing the boxes and the password is cleared, and after
// three failures the next try must wait.
#include <sys/uio.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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
    qttest::TypeText(password, QStringLiteral("demo002"));
    QTest::keyClick(&password, Qt::Key_Return);
    if (modal.isVisible()) modal.close();
  });
  ASSERT_TRUE(signedIn);
  EXPECT_EQ(signedIn->code, "002");
  EXPECT_EQ(signedIn->name, "张三");
  EXPECT_EQ(tries, 2);
}

// A letter that comes out in the other case than Shift asks is Caps Lock: the dialog says so under
// the password, and stops saying it once a letter comes out as Shift asks.
TEST(SignInDialogTest, CapsLockIsPointedOutWhileThePasswordIsTyped) {
  int tries = 0;
  std::vector<bool> shown;
  SignIn(tries, [&shown](QWidget& modal) {
    QLineEdit& password = Edit(modal, "TxtPassword");
    const auto* hint = modal.findChild<QLabel*>(QStringLiteral("LblCapsLock"));
    shown.push_back(!hint->isHidden());
    for (const auto& [letter, shift] : {std::pair{'D', false}, {'e', false}, {'e', true}, {'E', true}}) {
      QTest::keyClick(&password, letter, shift ? Qt::ShiftModifier : Qt::NoModifier);
      shown.push_back(!hint->isHidden());
    }
    modal.close();
  });
  EXPECT_EQ(shown, (std::vector<bool>{false, true, false, true, false}));
  EXPECT_EQ(tries, 0);
}

// Locks Caps Lock on the X server through XKB, as the key would.
void LockCapsLock() {
  xcb_connection_t* x = xcb_connect(nullptr, nullptr);
  static xcb_extension_t xkb = {"XKEYBOARD", 0};
  const auto send = [x](std::uint8_t opcode, std::vector<std::uint8_t> request, bool isVoid) {
    iovec parts[3] = {{}, {}, {request.data(), request.size()}};
    const xcb_protocol_request_t kind = {1, &xkb, opcode, isVoid};
    const unsigned sequence = xcb_send_request(x, XCB_REQUEST_CHECKED, parts + 2, &kind);
    xcb_generic_error_t* error = nullptr;
    if (isVoid) {
      error = xcb_request_check(x, xcb_void_cookie_t{sequence});
    } else {
      std::free(xcb_wait_for_reply(x, sequence, &error));
    }
    EXPECT_EQ(error, nullptr) << "XKB request " << int(opcode);
    std::free(error);
  };
  send(0, {0, 0, 0, 0, 1, 0, 0, 0}, false);  // UseExtension 1.0
  // LatchLockState of the core keyboard (0x100): lock the Lock modifier.
  send(5, {0, 0, 0, 0, 0x00, 0x01, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_LOCK, 0, 0, 0, 0, 0, 0, 0, 0}, true);
  xcb_disconnect(x);
}

// On X the dialog says at once that Caps Lock is on, before a letter is typed. The dialog opens in
// a run of this program of its own, on an X server of its own (Xvfb) whose Caps Lock is on.
TEST(SignInDialogTest, CapsLockOnBeforeTheDialogOpensIsPointedOutAtOnce) {
  if (qEnvironmentVariable("STOREADJUST_CAPS_LOCK_RUN") == QStringLiteral("1")) {
    LockCapsLock();
    int tries = 0;
    bool shown = false;
    SignIn(tries, [&shown](QWidget& modal) {
      shown = !modal.findChild<QLabel*>(QStringLiteral("LblCapsLock"))->isHidden();
      modal.close();
    });
    EXPECT_TRUE(shown);
    return;
  }
  if (std::system("command -v Xvfb >/dev/null") != 0) GTEST_SKIP() << "no Xvfb";
  int number[2];
  ASSERT_EQ(pipe(number), 0);
  const pid_t server = fork();
  if (server == 0) {
    close(number[0]);
    const std::string fd = std::to_string(number[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0", "640x480x24",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(number[1]);
  // Xvfb writes the number and its newline apart: closing the pipe between them kills it.
  std::string digits;
  for (char c = 0; ::read(number[0], &c, 1) == 1 && c != '\n';) digits += c;
  close(number[0]);
  int status = -1;
  if (!digits.empty()) {
    const std::string display = ":" + digits;
    status = std::system(("STOREADJUST_CAPS_LOCK_RUN=1 QT_QPA_PLATFORM=xcb DISPLAY=" + display +
                          " /proc/" + std::to_string(getpid()) + "/exe --gtest_filter=" +
                          ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + "." +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name() + " >/dev/null 2>&1").c_str());
  }
  kill(server, SIGTERM);
  waitpid(server, nullptr, 0);
  EXPECT_EQ(status, 0) << "the run on Xvfb did not see the hint";
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
    // The message takes room of its own: the edit boxes keep their height and every line shows.
    EXPECT_GE(password.height(), password.sizeHint().height());
    EXPECT_GE(message->height(), message->heightForWidth(message->width()));
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
    EXPECT_GE(message->height(), message->heightForWidth(message->width()));
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
