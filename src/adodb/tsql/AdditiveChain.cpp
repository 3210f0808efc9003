#include "adodb/tsql/AdditiveChain.h"

namespace adodb::tsql {
namespace {

// SQLite refuses a call with more than 127 arguments; a longer run of '+' continues in a call
// whose first argument is the previous one. SQLite's parser takes about 32 such levels, so a sum
// of some 4,000 terms is the longest it runs. One argument is kept for the names of an int chain.
constexpr int kMaxAddArguments = 126;

}  // namespace

bool AdditiveChain::IsOperator(std::string_view op) {
  return op == "+" || op == "-" || op == "&" || op == "|" || op == "^";
}

void AdditiveChain::CloseAdd() {
  if (open_ != Open::Add) return;
  tail_ += ')';
  open_ = Open::Nothing;
}

void AdditiveChain::Apply(std::string_view op, const std::string& term) {
  if (op == "+") {
    if (open_ != Open::Add || addArguments_ == kMaxAddArguments) {
      CloseAdd();
      prefixes_.push_back("tsql_add(");
      open_ = Open::Add;
      addArguments_ = 1;
    }
    tail_ += ", " + term;
    ++addArguments_;
    return;
  }
  CloseAdd();
  if (op == "^" || op == "-") {
    prefixes_.push_back(op == "^" ? "tsql_bitxor(" : "tsql_subtract(");
    tail_ += ", " + term + ")";
    open_ = Open::Nothing;
    return;
  }
  tail_ += ' ';
  tail_ += op;
  tail_ += ' ';
  tail_ += term;
  open_ = Open::Nothing;
}

std::string AdditiveChain::Text(const std::string* intNames) {
  CloseAdd();
  std::string text;
  std::size_t size = first_.size() + tail_.size();
  for (std::string_view p : prefixes_) size += p.size() + (intNames ? intNames->size() + 9 : 0);
  text.reserve(size);
  for (auto it = prefixes_.rbegin(); it != prefixes_.rend(); ++it) {
    if (!intNames) {
      text += *it;
      continue;
    }
    // "tsql_add(" as "tsql_int_add('names', "
    (text += "tsql_int_") += it->substr(5);
    ((text += '\'') += *intNames) += "', ";
  }
  text += first_;
  text += tail_;
  return text;
}

}  // namespace adodb::tsql
