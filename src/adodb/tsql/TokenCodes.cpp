#include "adodb/tsql/TokenCodes.h"

#include <array>

namespace adodb::tsql {
namespace {

using tokencodes::kFirstOperator;

constexpr std::array<std::uint8_t, 256> kOperatorCodes = [] {
  std::array<std::uint8_t, 256> codes{};
  for (std::size_t code = kFirstOperator; code < std::size(kCodedTokens); ++code)
    if (kCodedTokens[code].size() == 1) codes[static_cast<unsigned char>(kCodedTokens[code][0])] = static_cast<std::uint8_t>(code);
  return codes;
}();

}  // namespace

std::uint8_t OperatorCode(char op) { return kOperatorCodes[static_cast<unsigned char>(op)]; }

std::uint8_t OperatorCode(std::string_view op) {
  if (op.size() == 1) return OperatorCode(op[0]);
  for (std::size_t code = kFirstOperator; code < std::size(kCodedTokens); ++code)
    if (kCodedTokens[code] == op) return static_cast<std::uint8_t>(code);
  return 0;
}

}  // namespace adodb::tsql
