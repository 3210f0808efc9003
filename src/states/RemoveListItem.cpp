#include "states/RemoveListItem.h"

#include "host/SelectTemplates.h"

namespace storeadjust {

std::string RemoveListItem(const std::string& list, const std::string& item) {
  std::string result = list;
  if (!item.empty()) {
    result = result.find(item + ",") != std::string::npos ? ReplaceAll(result, item + ",", "") : ReplaceAll(result, item, "");
  }
  if (!result.empty() && result.back() == ',') result.pop_back();
  return result;
}

}  // namespace storeadjust
