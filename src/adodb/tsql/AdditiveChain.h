#pragma once
// Builds the SQLite text of one chain of T-SQL's additive-level operators: + - & ^ |, which
// T-SQL ranks on one level and applies left to right. SQLite ranks & and | below + and -, has no
// ^, and its + never concatenates, so the chain is written as:
//   runs of '+'        one variadic call tsql_add(a, b, c, ...) folding left to right
//   '-'                tsql_subtract(left, right), which subtracts days from a datetime
//   '&', '|'           SQLite's operators, which it ranks alike
//   '^'                tsql_bitxor(left, right)
// Every wrapper is a prefix of the left side, so the text is put together once at the end: the
// cost is linear in the chain's length however many operators it has.
#include <string>
#include <string_view>
#include <vector>

namespace adodb::tsql {

class AdditiveChain {
 public:
  explicit AdditiveChain(std::string first) : first_(std::move(first)) {}

  // True for the operators of the chain's level.
  static bool IsOperator(std::string_view op);
  // Applies `op` to everything so far and `term` (already translated, of a tighter level).
  void Apply(std::string_view op, const std::string& term);
  // The chain's text; with `intNames`, a chain of + and - of int terms whose steps are checked
  // for int's range: tsql_int_add('names', ...) and tsql_int_subtract('names', ...).
  std::string Text(const std::string* intNames = nullptr);

 private:
  enum class Open { Nothing, Add };
  void CloseAdd();

  std::string first_;
  std::vector<std::string_view> prefixes_;  // innermost first
  std::string tail_;
  Open open_ = Open::Nothing;
  int addArguments_ = 0;
};

}  // namespace adodb::tsql
