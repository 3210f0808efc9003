#include "host/TypeGroups.h"

#include <algorithm>
#include <array>

namespace storeadjust {

namespace {

template <std::size_t N>
bool IsOneOf(adodb::DataType type, const std::array<int, N>& list) {
  return std::find(list.begin(), list.end(), static_cast<int>(type)) != list.end();
}

}  // namespace

TypeGroup FieldValueTypeGroup(adodb::DataType type) {
  static constexpr std::array<int, 15> kNumbers{2, 3, 4, 5, 6, 11, 14, 16, 17, 18, 19, 20, 21, 131, 139};
  static constexpr std::array<int, 4> kDates{7, 133, 134, 135};
  if (IsOneOf(type, kNumbers)) return TypeGroup::Number;
  if (IsOneOf(type, kDates)) return TypeGroup::Date;
  return TypeGroup::Other;
}

TypeGroup SqlValueTypeGroup(adodb::DataType type) {
  static constexpr std::array<int, 5> kNumbers{3, 5, 11, 14, 131};
  if (IsOneOf(type, kNumbers)) return TypeGroup::Number;
  if (static_cast<int>(type) == 135) return TypeGroup::Date;
  return TypeGroup::Other;
}

bool IsNumberColumn(adodb::DataType type) {
  return FieldValueTypeGroup(type) == TypeGroup::Number && type != adodb::adBoolean;
}

adodb::Variant DefaultOfGroup(TypeGroup group) {
  switch (group) {
    case TypeGroup::Number:
      return adodb::Variant(0);
    case TypeGroup::Date:
      return adodb::Variant(adodb::Date{1900, 1, 1});
    case TypeGroup::Other:
      break;
  }
  return adodb::Variant(std::string());
}

}  // namespace storeadjust
