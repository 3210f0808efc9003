#pragma once
// A stored-procedure parameter: name, ADO type, direction, size and value; and how parameters
// are found by name.
#include <memory>
#include <string>
#include <string_view>

#include "adodb/DataType.h"
#include "adodb/TextCompare.h"
#include "adodb/Variant.h"

namespace adodb {

enum ParameterDirection : int { adParamInput = 1, adParamOutput = 2, adParamInputOutput = 3, adParamReturnValue = 4 };

class Parameter {
 public:
  Parameter(std::string name, DataType type, ParameterDirection direction, long size, Variant value)
      : name_(std::move(name)), type_(type), direction_(direction), size_(size), value_(std::move(value)) {}

  const std::string& Name() const { return name_; }
  DataType Type() const { return type_; }
  ParameterDirection Direction() const { return direction_; }
  long Size() const { return size_; }
  const Variant& Value() const { return value_; }
  void SetValue(Variant v) { value_ = std::move(v); }
  bool IsOutput() const { return direction_ != adParamInput; }
  // Digits after the point of a decimal value (adDecimal, adNumeric); a value bound to a
  // statement is rounded to them as the server rounds it to its parameter's declared scale.
  int NumericScale() const { return numericScale_; }
  void SetNumericScale(int scale) { numericScale_ = scale; }

 private:
  std::string name_;
  DataType type_;
  ParameterDirection direction_;
  long size_;
  Variant value_;
  int numericScale_ = 0;
};

// "@Name", "name" and "NAME" name the same parameter.
inline bool SameParameterName(std::string_view a, std::string_view b) {
  if (!a.empty() && a.front() == '@') a.remove_prefix(1);
  if (!b.empty() && b.front() == '@') b.remove_prefix(1);
  return SameName(a, b);
}

}  // namespace adodb
