#pragma once
// One value of a demo or schema row as it is bound to a prepared SQLite statement: NULL, a
// whole number, a real number or UTF-8 text. Bound, never spliced into statement text, so a
// quote inside a name can never break a statement.
#include <cstdint>
#include <string>
#include <variant>

namespace storeadjust::db {

class SqlValue {
 public:
  SqlValue(std::nullptr_t) : value_(std::monostate{}) {}
  SqlValue(int number) : value_(static_cast<std::int64_t>(number)) {}
  SqlValue(std::int64_t number) : value_(number) {}
  SqlValue(double number) : value_(number) {}
  SqlValue(const char* text) : value_(std::string(text)) {}
  SqlValue(std::string text) : value_(std::move(text)) {}

  const std::variant<std::monostate, std::int64_t, double, std::string>& Value() const { return value_; }

 private:
  std::variant<std::monostate, std::int64_t, double, std::string> value_;
};

}  // namespace storeadjust::db
