#pragma once
// A batch row's location list (kh of phk: codes separated by commas) without one code: every
// item equal to it is removed, whole (a code that is part of another code stays); a trailing
// comma is dropped. An empty item removes nothing (only the trailing comma goes).
#include <string>

namespace storeadjust {

std::string RemoveListItem(const std::string& list, const std::string& item);

}  // namespace storeadjust
