#include "qt/ShownText.h"

#include <QStringList>

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

QString KeyGuideText(const QString& guide) {
  const QString separator = QStringLiteral(" | ");
  if (!guide.contains(separator)) return guide;
  QStringList entries = guide.split(separator);
  for (QString& entry : entries) {
    QString joined;
    for (QChar character : entry) {
      if (!joined.isEmpty()) joined += QChar(0x2060);  // word joiner
      joined += character == QLatin1Char(' ') ? QChar(0x00A0) : character;
    }
    entry = joined;
  }
  return entries.join(QStringLiteral("\u00A0| "));  // a line ends on "|", the next begins an entry
}

}  // namespace storeadjust::qt
