#pragma once
// Statements that differ only in their literal values translate alike: the module writes the same
// statement for every line of a bill with that line's quantities and keys in it. A StatementShape
// is a statement with its literals taken out; a ShapeTemplate is the translation of that shape
// with a slot where each literal goes, so a statement of a known shape is translated by putting
// its own literals into the slots instead of parsing it again.
//
// A template is only made when the rewriter passed every literal through as it stood (its value
// decided nothing), and only kept when it reproduces the translation it was made from exactly.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "adodb/tsql/Tokenizer.h"

namespace adodb::tsql {

// The statement's tokens with every literal reduced to its kind, as one text for hashing.
std::string ShapeKey(const std::vector<Token>& tokens);

class ShapeTemplate {
 public:
  // The template of `tokens`, whose translation is `translation` and whose literals at
  // `plainLiterals` the rewriter passed through as they stood; nothing when a literal was used
  // otherwise or the template does not give back `translation`.
  static std::optional<ShapeTemplate> Derive(const std::vector<Token>& tokens,
                                             const std::vector<std::size_t>& plainLiterals,
                                             const std::string& translation);

  // The translation of a statement of this shape.
  std::string Fill(const std::vector<Token>& tokens) const;
  // The translation with the numbered parameter ?n where the n-th literal (in token order) goes,
  // for binding the literals' values instead of writing them into the text.
  const std::string& Parameterized() const { return parameterized_; }

 private:
  std::vector<std::string> fragments_;  // text around the slots: one more than slots_
  std::vector<std::size_t> slots_;      // for each slot, the literal (counted in token order) it takes
  std::string parameterized_;
};

// The value a literal token stands for: a whole number, a real number or a text.
struct LiteralValue {
  enum class Kind { Integer, Real, Text } kind = Kind::Text;
  long long integer = 0;
  double real = 0;
  std::string text;
};
// The values of the statement's literals, in token order: the n-th is bound to the parameter ?n.
std::vector<LiteralValue> LiteralValues(const std::vector<Token>& tokens);

}  // namespace adodb::tsql
