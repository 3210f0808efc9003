#pragma once
// Bill serials as the browser's messages name several at once ("A,B,C"), or as the print
// component takes them ("A|B|C").
#include <string>
#include <vector>

namespace storeadjust {

inline std::string SerialList(const std::vector<std::string>& serials, const char* separator = ",") {
  std::string joined;
  for (const std::string& serial : serials) joined += (joined.empty() ? "" : separator) + serial;
  return joined;
}

}  // namespace storeadjust
