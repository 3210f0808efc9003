#pragma once
#include <QObject>

namespace storeadjust::qt {

// Installed on a button, Enter clicks it when it has the keyboard, as Space does. Tool buttons,
// and push buttons outside a dialog, answer Space only: a clerk who tabbed to one and pressed
// Enter, as on every other button of the module, saw nothing happen.
class EnterClicksButton : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace storeadjust::qt
