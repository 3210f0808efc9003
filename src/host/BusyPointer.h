#pragma once
// The hourglass for the life of a command, also when it ends in an error or an exception.
#include "host/UserInterface.h"

namespace storeadjust {

class BusyPointer {
 public:
  explicit BusyPointer(UserInterface& ui) : ui_(ui) { ui_.SetBusy(true); }
  ~BusyPointer() { ui_.SetBusy(false); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;

 private:
  UserInterface& ui_;
};

}  // namespace storeadjust
