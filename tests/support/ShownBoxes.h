#pragma once
// The message boxes a scripted user interface has shown, one line each as
// "buttons title|text", so a test states the whole of what the user saw in one comparison.
#include <string>

#include "host/ScriptedUserInterface.h"

namespace testsupport {

inline std::string ShownBoxes(const storeadjust::ScriptedUserInterface& ui) {
  std::string lines;
  for (const auto& box : ui.Boxes()) lines += std::to_string(box.buttons) + " " + box.title + "|" + box.text + "\n";
  return lines;
}

}  // namespace testsupport
