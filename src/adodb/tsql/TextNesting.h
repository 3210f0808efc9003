#pragma once
// Following written SQL text byte by byte through its quotes and parentheses: where a call's
// parenthesis closes, which commas part a list.
#include <cstddef>
#include <string_view>

namespace adodb::tsql {

class Nesting {
 public:
  // True for a byte outside quotes, once the parenthesis it may be is counted.
  bool Outside(char c) {
    if (quote_) {
      if (c == quote_) quote_ = 0;
      return false;
    }
    if (c == '\'' || c == '"') {
      quote_ = c;
      return false;
    }
    if (c == '(') ++depth_;
    if (c == ')') --depth_;
    return true;
  }
  int Depth() const { return depth_; }
  bool InQuotes() const { return quote_ != 0; }

 private:
  char quote_ = 0;
  int depth_ = 0;
};

// The end of the parenthesis opened at `open`, or npos; quotes skipped.
inline std::size_t ClosingOf(std::string_view text, std::size_t open) {
  Nesting nesting;
  for (std::size_t i = open; i < text.size(); ++i) {
    if (nesting.Outside(text[i]) && text[i] == ')' && nesting.Depth() == 0) return i;
  }
  return std::string_view::npos;
}

}  // namespace adodb::tsql
