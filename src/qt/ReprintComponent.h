#pragma once
// The desktop reprint component: started with the reprint function's code (13), it lists the
// stored transfer bills in the reprint dialog over a connection of its own, opened from the
// request's connection string, and prints those the user picks. It returns when the dialog
// closes. A connection that cannot be opened, or a list that cannot be read at the start,
// throws adodb::Error to the command that asked; any other code is refused the same way.
#include "host/UserInterface.h"

class QWidget;

namespace storeadjust::qt {

class ReprintComponent {
 public:
  explicit ReprintComponent(QWidget* parent) : parent_(parent) {}
  void Start(const ReprintRequest& request);

 private:
  QWidget* parent_;
};

}  // namespace storeadjust::qt
