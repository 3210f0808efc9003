#include "qt/SignInDialog.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include <QDeadlineTimer>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "host/OperatorPassword.h"

namespace storeadjust::qt {

namespace {

// Whether Caps Lock is on, where the display can say: on X the server gives the lock modifier
// with the pointer's state (core protocol, one round trip). Nothing on other platforms.
std::optional<bool> CapsLockOnDisplay() {
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
  if (connection == nullptr) return std::nullopt;
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  if (screen == nullptr) return std::nullopt;
  xcb_query_pointer_reply_t* pointer =
      xcb_query_pointer_reply(connection, xcb_query_pointer(connection, screen->root), nullptr);
  if (pointer == nullptr) return std::nullopt;
  const bool on = (pointer->mask & XCB_MOD_MASK_LOCK) != 0;
  std::free(pointer);
  return on;
}

// The display tells whether Caps Lock is on when the password box is entered, where it can (X).
// Elsewhere Qt cannot ask the keyboard; a letter typed tells: upper case without Shift, or lower
// case with it. Pressing Caps Lock itself flips what was last known.
class CapsLockWatch : public QObject {
 public:
  CapsLockWatch(QLineEdit* watched, QLabel* hint) : QObject(watched), hint_(hint) {
    watched->installEventFilter(this);
    AskTheDisplay();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // Caps Lock may have been pressed in another window meanwhile.
    if (event->type() == QEvent::FocusIn) AskTheDisplay();
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_CapsLock) {
      if (known_) Show(!on_);
    } else if (const QString text = key->text();
               text.size() == 1 && text[0].isLetter() && text[0].toUpper() != text[0].toLower()) {
      known_ = true;
      Show(text[0].isUpper() != key->modifiers().testFlag(Qt::ShiftModifier));
    }
    return false;
  }

 private:
  void AskTheDisplay() {
    if (const auto on = CapsLockOnDisplay()) {
      known_ = true;
      Show(*on);
    }
  }

  void Show(bool on) {
    on_ = on;
    hint_->setVisible(on);
  }

  QLabel* hint_;
  bool known_ = false;
  bool on_ = false;
};

class SignInForm {
 public:
  SignInForm(const std::string& initialCode, const SignInAttempt& attempt) : attempt_(attempt) {
    dialog_.setWindowTitle(QStringLiteral("登录 仓库调拨单"));
    code_ = new QLineEdit(QString::fromStdString(initialCode));
    code_->setObjectName(QStringLiteral("TxtOptCode"));
    password_ = new QLineEdit;
    password_->setObjectName(QStringLiteral("TxtPassword"));
    password_->setEchoMode(QLineEdit::Password);
    // A password typed right in the wrong case is refused like a wrong one: the clerk is told why.
    auto* capsLock = new QLabel(QStringLiteral("大写锁定（Caps Lock）已打开，密码区分大小写。"));
    capsLock->setObjectName(QStringLiteral("LblCapsLock"));
    capsLock->hide();
    new CapsLockWatch(password_, capsLock);
    message_ = new QLabel;
    message_->setObjectName(QStringLiteral("LblMessage"));
    message_->setWordWrap(true);
    message_->setStyleSheet(QStringLiteral("color: #b00020"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("操作员编号:"), code_);
    form->addRow(QStringLiteral("密码:"), password_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    signIn_ = buttons->button(QDialogButtonBox::Ok);
    signIn_->setText(QStringLiteral("登录"));
    signIn_->setObjectName(QStringLiteral("Cmd_SignIn"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog_, [this] { Try(); });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog_, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog_);
    layout->addLayout(form);
    layout->addWidget(capsLock);
    layout->addWidget(message_);
    layout->addWidget(buttons);
    // Made the default only once in the dialog, which then keeps it as the one Enter presses:
    // made before, it was forgotten as soon as Tab passed over 取消, and Enter in the password
    // box from then on cancelled the sign-in.
    signIn_->setDefault(true);
    // Enter while the wait runs presses a grey button, which Qt passes over without a sound: the
    // clerk is told what he waits for, in the dialog, and no try is spent.
    for (QLineEdit* edit : {code_, password_}) {
      QObject::connect(edit, &QLineEdit::returnPressed, &dialog_, [this] {
        if (!signIn_->isEnabled()) SayTheWaitGoesOn();
      });
    }
    (code_->text().isEmpty() ? code_ : password_)->setFocus();
  }

  std::optional<SignedIn> Run(std::string* codeAtCancel) {
    if (dialog_.exec() == QDialog::Accepted) return signedIn_;
    if (codeAtCancel != nullptr) *codeAtCancel = code_->text().trimmed().toStdString();
    return std::nullopt;
  }

 private:
  void Try() {
    if (!signIn_->isEnabled()) return;  // Enter while the wait runs
    // Enter after the code goes on to the password instead of spending a try on an empty one.
    if (code_->hasFocus() && password_->text().isEmpty()) {
      password_->setFocus();
      return;
    }
    const std::string code = code_->text().trimmed().toStdString();
    // A blank code names no one to refuse: it is asked for, and no try is spent.
    if (code.empty()) {
      ShowMessage(QStringLiteral("请输入操作员编号。"));
      code_->setFocus();
      return;
    }
    // A password copied with its line's end (from a note or a mail) brings a line break, which
    // no password holds (the db tool sets typed characters only): kept, it was refused as wrong
    // and counted towards the wait.
    QString typed = password_->text();
    while (typed.endsWith(QLatin1Char('\n')) || typed.endsWith(QLatin1Char('\r'))) typed.chop(1);
    const std::string password = typed.toStdString();
    password_->clear();
    const SignInAnswer answer = attempt_(code, password);
    if (answer.signedIn) {
      signedIn_ = SignedIn{code, answer.text};
      dialog_.accept();
      return;
    }
    // Enter on an empty box is no guess at a password, and earns no wait.
    if (!password.empty()) ++failures_;
    const int wait = std::max(SignInDelaySeconds(failures_), answer.waitSeconds);
    QString text = QString::fromStdString(answer.text);
    if (wait > 0) text += QStringLiteral("\n请等 %1 秒再试。").arg(wait);
    ShowMessage(text);
    WaitBeforeNextTry(wait, QString::fromStdString(answer.text));
    // The clerk types over the code that no password could sign in.
    if (answer.codeToCorrect) {
      code_->setFocus();
      code_->selectAll();
    } else {
      password_->setFocus();
    }
  }

  // The dialog grows to the message's lines, where it would otherwise squeeze the edit boxes.
  void ShowMessage(const QString& text) {
    message_->setText(text);
    dialog_.adjustSize();
  }

  void SayTheWaitGoesOn() {
    const qint64 left = (waitEnds_.remainingTime() + 999) / 1000;
    ShowMessage(refusal_ + QStringLiteral("\n还需等候 %1 秒才能再试，请稍候。").arg(std::max<qint64>(left, 1)));
  }

  // Once the wait is over the refusal stays, but no longer tells the clerk to wait.
  void WaitBeforeNextTry(int seconds, const QString& refusal) {
    if (seconds <= 0) return;
    refusal_ = refusal;
    waitEnds_ = QDeadlineTimer(seconds * 1000);
    signIn_->setEnabled(false);
    QTimer::singleShot(seconds * 1000, &dialog_, [this, refusal] {
      signIn_->setEnabled(true);
      ShowMessage(refusal);
    });
  }

  QDialog dialog_;
  QLineEdit* code_;
  QLineEdit* password_;
  QLabel* message_;
  QPushButton* signIn_;
  SignInAttempt attempt_;
  int failures_ = 0;
  QString refusal_;
  QDeadlineTimer waitEnds_;
  SignedIn signedIn_;
};

}  // namespace

std::optional<SignedIn> RunSignInDialog(const std::string& initialCode, const SignInAttempt& attempt,
                                        std::string* codeAtCancel) {
  SignInForm form(initialCode, attempt);
  return form.Run(codeAtCancel);
}

}  // namespace storeadjust::qt
