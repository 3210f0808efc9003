#include "qt/PreviewKeys.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPrintPreviewDialog>
#include <QToolButton>

namespace storeadjust::qt {

namespace {

// A tool button answers Space only; Enter, which presses every other button of the module, went
// to the dialog and did nothing.
class EnterPresses : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* button = qobject_cast<QToolButton*>(watched);
    if (button != nullptr && event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        button->click();
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

void GivePreviewCommandsToKeyboard(QPrintPreviewDialog& preview) {
  auto* enter = new EnterPresses(&preview);
  for (QToolButton* button : preview.findChildren<QToolButton*>()) {
    if (button->defaultAction() == nullptr) continue;  // the toolbar's own overflow arrow
    button->setFocusPolicy(Qt::TabFocus);
    button->installEventFilter(enter);
  }
  // The preview names its print command in the language of the Qt translation in use.
  const QString print = QCoreApplication::translate("QPrintPreviewDialog", "Print");
  for (QAction* action : preview.findChildren<QAction*>()) {
    if (action->text() == print && action->shortcut().isEmpty()) {
      action->setShortcut(QKeySequence::Print);
      action->setToolTip(action->text() + QStringLiteral(" (Ctrl+P)"));
    }
  }
}

}  // namespace storeadjust::qt
