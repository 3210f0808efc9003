#pragma once
// Values written one after another, each followed by a bar, so a test compares a record's fields
// in one line: Fields(3, "T", true) is "3|T|1|". Numbers as a stream writes them (six digits).
#include <sstream>
#include <string>

namespace testsupport {

template <typename... T>
std::string Fields(const T&... values) {
  std::ostringstream text;
  ((text << values << '|'), ...);
  return text.str();
}

}  // namespace testsupport
