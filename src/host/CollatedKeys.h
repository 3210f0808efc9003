#pragma once
// Keys of maps built from rows that another program may have stored padded or in another case:
// the database joins '05 ' to '05' and 'a1' to 'A1', so a lookup from one row to another must
// take them as one key too, or a row the join found is missed.
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "adodb/TextCompare.h"

namespace storeadjust {

struct CollatedLess {
  bool operator()(std::string_view a, std::string_view b) const noexcept { return adodb::CompareValues(a, b) < 0; }

  // Tuples of texts, compared field by field.
  template <typename... Texts>
  bool operator()(const std::tuple<Texts...>& a, const std::tuple<Texts...>& b) const noexcept {
    return Compare(a, b, std::index_sequence_for<Texts...>{}) < 0;
  }

 private:
  template <typename Tuple, std::size_t... I>
  static int Compare(const Tuple& a, const Tuple& b, std::index_sequence<I...>) noexcept {
    int c = 0;
    ((c = c != 0 ? c : adodb::CompareValues(std::get<I>(a), std::get<I>(b))), ...);
    return c;
  }
};

}  // namespace storeadjust
