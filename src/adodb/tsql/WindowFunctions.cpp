#include "adodb/tsql/WindowFunctions.h"

#include <array>

#include "adodb/TextCompare.h"

namespace adodb::tsql {
namespace {

constexpr std::array<std::string_view, 10> kWindowOnly = {
    "row_number", "rank", "dense_rank", "ntile", "lag", "lead", "first_value", "last_value", "percent_rank", "cume_dist",
};

}  // namespace

bool IsWindowOnlyFunction(std::string_view function) {
  for (std::string_view name : kWindowOnly)
    if (name.size() == function.size() && SameName(name, function)) return true;
  return false;
}

bool NeedsWindowOrder(std::string_view function) { return IsWindowOnlyFunction(function); }

}  // namespace adodb::tsql
