#include "editor/GridCellText.h"

namespace storeadjust {

std::string GridCellText(const adodb::Variant& value) {
  switch (value.Type()) {
    case adodb::VariantType::Empty:
    case adodb::VariantType::Null:
      return {};
    case adodb::VariantType::Boolean:
      return value.RawInteger() != 0 ? "1" : "0";
    case adodb::VariantType::Integer:
      return std::to_string(value.RawInteger());
    case adodb::VariantType::Double:
    case adodb::VariantType::Currency:
      return adodb::FormatNumber(value.RawDouble());
    case adodb::VariantType::Date:
      return value.RawDate().ToText();
    case adodb::VariantType::Text:
      return value.RawText();
  }
  return {};
}

}  // namespace storeadjust
