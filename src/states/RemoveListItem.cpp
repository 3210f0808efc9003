#include "states/RemoveListItem.h"

#include <sstream>
#include <vector>

namespace storeadjust {

// Whole items only: "B2,A12" without "A1" stays "B2,A12".
std::string RemoveListItem(const std::string& list, const std::string& item) {
  std::string result;
  if (item.empty()) {
    result = list;
  } else {
    std::vector<std::string> kept;
    std::stringstream items(list);
    for (std::string each; std::getline(items, each, ',');) {
      if (each != item) kept.push_back(each);
    }
    if (!list.empty() && list.back() == ',') kept.emplace_back();  // getline drops the empty last item
    for (std::size_t i = 0; i < kept.size(); ++i) result += (i == 0 ? "" : ",") + kept[i];
  }
  if (!result.empty() && result.back() == ',') result.pop_back();
  return result;
}

}  // namespace storeadjust
