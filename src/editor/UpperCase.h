#pragma once
// Upper-casing as the editor applies it to prefixes, operator codes and categories: ASCII
// letters only, so the bytes of Chinese text pass through unchanged.
#include <string>

namespace storeadjust {

std::string UpperCase(std::string text);

}  // namespace storeadjust
