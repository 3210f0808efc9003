#include "host/TranscriptText.h"

namespace storeadjust {

std::string EscapeLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::string Quoted(std::string_view text) { return "\"" + EscapeLineBreaks(text) + "\""; }

std::string ValueText(const adodb::Variant& value) {
  switch (value.Type()) {
    case adodb::VariantType::Empty:
    case adodb::VariantType::Null: return {};
    case adodb::VariantType::Boolean: return value.RawInteger() != 0 ? "1" : "0";
    case adodb::VariantType::Integer: return std::to_string(value.RawInteger());
    case adodb::VariantType::Double:
    case adodb::VariantType::Currency: return adodb::FormatNumber(value.RawDouble());
    case adodb::VariantType::Text: return value.RawText();
    case adodb::VariantType::Date: return value.RawDate().ToText();
  }
  return {};
}

}  // namespace storeadjust
