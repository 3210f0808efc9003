#include "qt/PreviewKeys.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPrintPreviewDialog>
#include <QToolButton>

#include "qt/EnterClicksButton.h"

namespace storeadjust::qt {

namespace {

// The pages turn by the keys that move through a list's rows, wherever the keyboard stands in the
// preview: it starts in the page number box, where PgDn did nothing and Home went to the box's
// start. Each key runs the preview's own page command, which keeps the page box showing the page.
class PageKeys : public QObject {
 public:
  explicit PageKeys(QPrintPreviewDialog& preview) : QObject(&preview), preview_(preview) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const char* command = nullptr;
    switch (static_cast<QKeyEvent*>(event)->key()) {
      case Qt::Key_PageDown: command = "Next page"; break;
      case Qt::Key_PageUp: command = "Previous page"; break;
      case Qt::Key_Home: command = "First page"; break;
      case Qt::Key_End: command = "Last page"; break;
      default: return false;
    }
    const QString text = QCoreApplication::translate("QPrintPreviewDialog", command);
    for (QAction* action : preview_.findChildren<QAction*>()) {
      if (action->text() == text) action->trigger();
    }
    return true;
  }

 private:
  QPrintPreviewDialog& preview_;
};

}  // namespace

void GivePreviewCommandsToKeyboard(QPrintPreviewDialog& preview) {
  auto* pageKeys = new PageKeys(preview);
  preview.installEventFilter(pageKeys);
  for (QWidget* widget : preview.findChildren<QWidget*>()) widget->installEventFilter(pageKeys);
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
