#include "qt/EnterClicksButton.h"

#include <QAbstractButton>
#include <QKeyEvent>

namespace storeadjust::qt {

bool EnterClicksButton::eventFilter(QObject* watched, QEvent* event) {
  auto* button = qobject_cast<QAbstractButton*>(watched);
  if (button != nullptr && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      button->click();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace storeadjust::qt
