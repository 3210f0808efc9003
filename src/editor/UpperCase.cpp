#include "editor/UpperCase.h"

#include <cctype>

namespace storeadjust {

std::string UpperCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace storeadjust
