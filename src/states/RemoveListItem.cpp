#include "states/RemoveListItem.h"

#include <string_view>

namespace storeadjust {

// Whole items only: "B2,A12" without "A1" stays "B2,A12". Runs once per line of an un-audit, so
// the list is walked in place rather than through a stream.
std::string RemoveListItem(const std::string& list, const std::string& item) {
  std::string result;
  if (item.empty()) {
    result = list;
  } else {
    const std::string_view all(list);
    bool first = true;
    for (std::size_t start = 0;;) {
      const std::size_t comma = all.find(',', start);
      const std::string_view each = all.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
      if (each != item) {
        if (!first) result += ',';
        result += each;
        first = false;
      }
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
  }
  if (!result.empty() && result.back() == ',') result.pop_back();
  return result;
}

}  // namespace storeadjust
