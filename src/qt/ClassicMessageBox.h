#pragma once
// The classic message box on the desktop: one number holds the button set (0 OK, 1 OK/Cancel,
// 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No, 5 Retry/Cancel), the icon (16 critical,
// 32 question, 48 exclamation, 64 information) and the default button (256 second, 512 third).
// Buttons carry Chinese texts; the answer is the classic number (OK 1, Cancel 2, Abort 3,
// Retry 4, Ignore 5, Yes 6, No 7). Closing the box without a button answers what Esc would
// (Cancel, else No, else OK); Esc and the close box do nothing in the Abort/Retry/Ignore box,
// where the clerk must choose. The keys Y and N press Yes and No.
#include <QString>
#include <exception>

class QMessageBox;
class QWidget;

namespace storeadjust::qt {

// Builds the box without showing it (the caller owns it; tests inspect it).
QMessageBox* MakeClassicMessageBox(const QString& text, int buttons, const QString& title, QWidget* parent);

// Shows a box built by MakeClassicMessageBox modally and returns the classic answer.
int RunClassicMessageBox(QMessageBox& box);

// Every view shows a failure it trapped this way: the critical icon (unless another is named), the
// title "系统提示", and the words ErrorText gives, so that a locked or read-only file or a full disk
// reaches the clerk in Chinese and not in the database's English.
void ShowFailureBox(const std::exception& error, QWidget* parent, int icon = 16);

}  // namespace storeadjust::qt
