#include "qt/ShownText.h"

namespace storeadjust::qt {

void SelectWhole(QLineEdit& edit) {
  const int length = static_cast<int>(edit.text().length());
  edit.setSelection(length, -length);
}

void ShowText(QLineEdit& edit, const QString& text) {
  if (edit.text() == text) return;
  edit.setText(text);
  // A box the clerk is not in shows the start of its text: a long remark filled in showed its
  // last words, as if the rest were all it said.
  if (edit.window()->focusWidget() == &edit) {
    SelectWhole(edit);
  } else {
    edit.setCursorPosition(0);
  }
}

}  // namespace storeadjust::qt
