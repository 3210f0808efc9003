#include "qt/ClassicMessageBox.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QVariant>
#include <memory>
#include <vector>

#include "host/ErrorText.h"

namespace storeadjust::qt {

namespace {

constexpr int kOk = 1, kCancel = 2, kAbort = 3, kRetry = 4, kIgnore = 5, kYes = 6, kNo = 7;
constexpr const char* kAnswerProperty = "classicAnswer";

struct ButtonChoice {
  const char* text;
  QMessageBox::ButtonRole role;
  int answer;
};

// The questions read "[Y/N]": Y and N answer them from the keyboard, as the classic box did.
Qt::Key ShortcutKey(int answer) {
  switch (answer) {
    case kYes: return Qt::Key_Y;
    case kNo: return Qt::Key_N;
    default: return Qt::Key_unknown;
  }
}

std::vector<ButtonChoice> ButtonSet(int buttons) {
  const ButtonChoice ok{"确定", QMessageBox::AcceptRole, kOk};
  const ButtonChoice cancel{"取消", QMessageBox::RejectRole, kCancel};
  const ButtonChoice yes{"是", QMessageBox::YesRole, kYes};
  const ButtonChoice no{"否", QMessageBox::NoRole, kNo};
  switch (buttons & 0x7) {
    case 1: return {ok, cancel};
    // None of the three may be taken by Esc or the close box: Qt would take a lone reject role
    // for its escape button, so 终止 carries the accept role as the other two do.
    case 2: return {{"终止", QMessageBox::AcceptRole, kAbort}, {"重试", QMessageBox::AcceptRole, kRetry},
                    {"忽略", QMessageBox::AcceptRole, kIgnore}};
    case 3: return {yes, no, cancel};
    case 4: return {yes, no};
    case 5: return {{"重试", QMessageBox::AcceptRole, kRetry}, cancel};
    default: return {ok};
  }
}

QMessageBox::Icon IconOf(int buttons) {
  switch (buttons & 0x70) {
    case 16: return QMessageBox::Critical;
    case 32: return QMessageBox::Question;
    case 48: return QMessageBox::Warning;
    case 64: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

int DefaultButtonIndex(int buttons) { return (buttons & 0x300) >> 8; }  // 0 first, 1 second, 2 third

// What the classic box answers when it is closed without a button (Esc, the close box). The
// abort/retry/ignore box has no such answer: the clerk must choose one of its three.
bool EscapeAnswers(int buttons) { return (buttons & 0x7) != 2; }

int EscapeAnswer(const std::vector<ButtonChoice>& set) {
  for (int wanted : {kCancel, kNo, kAbort}) {
    for (const ButtonChoice& choice : set) {
      if (choice.answer == wanted) return wanted;
    }
  }
  return set.front().answer;
}

// A clerk who must report what a box says copies it at the keyboard: the focus is on a button,
// where Ctrl+C copied nothing. It takes the whole text, or the part selected with the mouse.
class CopyingMessageBox : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (!event->matches(QKeySequence::Copy)) return QMessageBox::keyPressEvent(event);
    const auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    QGuiApplication::clipboard()->setText(label && label->hasSelectedText() ? label->selectedText() : text());
  }
};

// A short answer's box fitted its text and buttons alone, which left the window manager too little
// room for the title beside its icon and buttons: "系… 示" over "审批提交成功!". The frame draws the
// title in bold, each of its buttons about a line wide with gaps around them; the row of buttons
// asks for that width, and the box fits itself to it as it is shown.
void LeaveRoomForTheTitle(QMessageBox& box) {
  QFont bold = box.font();
  bold.setBold(true);
  const int titled = QFontMetrics(bold).horizontalAdvance(box.windowTitle()) + 8 * box.fontMetrics().height();
  auto* buttons = box.findChild<QDialogButtonBox*>();
  if (buttons == nullptr || box.layout() == nullptr) return;
  const QMargins margins = box.layout()->contentsMargins();
  buttons->setMinimumWidth(titled - margins.left() - margins.right());
}

}  // namespace

QMessageBox* MakeClassicMessageBox(const QString& text, int buttons, const QString& title, QWidget* parent) {
  auto* box = new CopyingMessageBox(parent);
  box->setWindowTitle(title);
  box->setText(text);
  box->setIcon(IconOf(buttons));
  const std::vector<ButtonChoice> set = ButtonSet(buttons);
  std::vector<QPushButton*> made;
  for (const ButtonChoice& choice : set) {
    QPushButton* button = box->addButton(QString::fromUtf8(choice.text), choice.role);
    button->setProperty(kAnswerProperty, choice.answer);
    if (ShortcutKey(choice.answer) != Qt::Key_unknown) button->setShortcut(QKeySequence(ShortcutKey(choice.answer)));
    made.push_back(button);
  }
  const std::size_t defaultIndex = static_cast<std::size_t>(DefaultButtonIndex(buttons));
  box->setDefaultButton(made[defaultIndex < made.size() ? defaultIndex : 0]);
  const int escape = EscapeAnswer(set);
  for (QPushButton* button : made) {
    if (EscapeAnswers(buttons) && button->property(kAnswerProperty).toInt() == escape) box->setEscapeButton(button);
  }
  box->setProperty("classicEscapeAnswer", escape);
  LeaveRoomForTheTitle(*box);
  return box;
}

int RunClassicMessageBox(QMessageBox& box) {
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  if (clicked != nullptr) return clicked->property(kAnswerProperty).toInt();
  return box.property("classicEscapeAnswer").toInt();
}

void ShowFailureBox(const std::exception& error, QWidget* parent, int icon) {
  std::unique_ptr<QMessageBox> box(
      MakeClassicMessageBox(QString::fromStdString(ErrorText(error)), icon, QStringLiteral("系统提示"), parent));
  RunClassicMessageBox(*box);
}

}  // namespace storeadjust::qt
