#include "qt/ShownText.h"

namespace storeadjust::qt {

void SelectWhole(QLineEdit& edit) {
  const int length = static_cast<int>(edit.text().length());
  edit.setSelection(length, -length);
}

void ShowText(QLineEdit& edit, const QString& text) {
  if (edit.text() == text) return;
  edit.setText(text);
  if (edit.window()->focusWidget() == &edit) SelectWhole(edit);
}

}  // namespace storeadjust::qt
