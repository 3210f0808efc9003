#pragma once
// Text the program puts into a box. In the box the clerk is in (his window's focus, even while a
// dialog over it still has the keyboard) the new text is selected whole, as any box is when he
// arrives in it: his next key replaces the value shown instead of adding to it.
#include <QLineEdit>
#include <QString>

namespace storeadjust::qt {

void ShowText(QLineEdit& edit, const QString& text);

// Selected whole with the cursor at the start, so that a value longer than its box shows how it
// begins (71.4285714285714 as 71.42..., not as ...4285714285714).
void SelectWhole(QLineEdit& edit);

// A key guide ("F2 → 新增 | ESC → 退出") made to wrap between its entries only: inside one the
// blanks do not break and the characters are joined, so a narrow window never shows "退" at a
// line's end and "出" at the next one's start. Text without " | " is returned as it is.
QString KeyGuideText(const QString& guide);

}  // namespace storeadjust::qt
