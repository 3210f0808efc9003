#pragma once
// The adodb::Error an action throws, or Error(0, "no error") when it throws none, so a test can
// check the number and the text of a refusal in one line each.
#include <functional>

#include "adodb/Error.h"

namespace testsupport {

inline adodb::Error ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const adodb::Error& error) {
    return error;
  }
  return adodb::Error(0, "no error");
}

}  // namespace testsupport
