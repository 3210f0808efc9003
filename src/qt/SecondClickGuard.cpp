#include "qt/SecondClickGuard.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QStyleHints>
#include <QWidget>

#include "qt/ApplicationEventFilter.h"

namespace storeadjust::qt {

namespace {

class SecondClickGuard : public QObject {
 public:
  using QObject::QObject;

 protected:
  // The filter sees a mouse event once for each widget it is offered to, the parents of one that
  // ignores it too: the release is noted each time (alike), the press judged at its first sight.
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::MouseButtonRelease) {
      return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr) return false;
    const auto* mouse = static_cast<const QMouseEvent*>(event);
    const QPoint at = mouse->globalPosition().toPoint();
    if (type == QEvent::MouseButtonRelease) {
      if (dropping_) {
        dropping_ = false;
        return true;
      }
      // Noted before the release is delivered: the command it completes opens its window inside it.
      lastWindow_ = widget->window();
      lastAt_ = at;
      lastTime_ = mouse->timestamp();
      return false;
    }
    if (type == QEvent::MouseButtonDblClick) return dropping_;  // the one that follows the dropped press
    const QStyleHints* hints = QGuiApplication::styleHints();
    const bool second = lastWindow_ != nullptr && widget->window() != lastWindow_ &&
                        mouse->timestamp() >= lastTime_ &&
                        mouse->timestamp() - lastTime_ <= static_cast<quint64>(hints->mouseDoubleClickInterval()) &&
                        (at - lastAt_).manhattanLength() <= hints->startDragDistance();
    lastWindow_ = nullptr;
    dropping_ = second;
    return second;
  }

 private:
  QPointer<QWidget> lastWindow_;
  QPoint lastAt_;
  quint64 lastTime_ = 0;
  bool dropping_ = false;
};

}  // namespace

void DropTheSecondClickOfADoubleClickThatOpenedAWindow() {
  InstallOnceOnApplication<SecondClickGuard>(QStringLiteral("SecondClickGuard"));
}

}  // namespace storeadjust::qt
