#include "qt/ShownText.h"

namespace storeadjust::qt {

void ShowText(QLineEdit& edit, const QString& text) {
  if (edit.text() == text) return;
  edit.setText(text);
  if (edit.window()->focusWidget() == &edit) edit.selectAll();
}

}  // namespace storeadjust::qt
