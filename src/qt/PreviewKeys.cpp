#include "qt/PreviewKeys.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeySequence>
#include <QPrintPreviewDialog>
#include <QToolButton>

#include "qt/EnterClicksButton.h"

namespace storeadjust::qt {

void GivePreviewCommandsToKeyboard(QPrintPreviewDialog& preview) {
  auto* enter = new EnterClicksButton(&preview);
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
