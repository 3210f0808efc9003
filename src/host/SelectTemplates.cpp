#include "host/SelectTemplates.h"

#include "host/DataHelpers.h"

namespace storeadjust {

namespace {

constexpr const char* kConditionPlaceholder = "[选择条件]";

}  // namespace

std::string ReplaceAll(std::string text, const std::string& placeholder, const std::string& value) {
  if (placeholder.empty()) return text;
  for (auto at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at + value.size())) {
    text.replace(at, placeholder.size(), value);
  }
  return text;
}

std::string SubstituteTemplateValue(std::string templateText, const std::string& placeholder,
                                    const std::string& value) {
  std::string quoted;
  for (char c : value) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  return ReplaceAll(std::move(templateText), placeholder, quoted);
}

BoundSql FillPlaceholder(const BoundSql& statement, const std::string& placeholder, const BoundSql& fragment) {
  if (placeholder.empty()) return statement;
  const std::string& text = statement.text;
  BoundSql filled;
  std::size_t ownValue = 0;
  bool inLiteral = false;
  for (std::size_t at = 0; at < text.size();) {
    if (text.compare(at, placeholder.size(), placeholder) == 0) {
      filled = filled + fragment;
      at += placeholder.size();
      continue;
    }
    const char c = text[at++];
    if (c == '\'') inLiteral = !inLiteral;
    if (c == '?' && !inLiteral && ownValue < statement.values.size()) {
      filled.values.push_back(statement.values[ownValue++]);
    }
    filled.text += c;
  }
  filled.values.insert(filled.values.end(), statement.values.begin() + static_cast<std::ptrdiff_t>(ownValue),
                       statement.values.end());
  return filled;
}

BoundSql FillSelectCondition(const std::string& templateText, const BoundSql& condition) {
  return FillPlaceholder({templateText, {}}, kConditionPlaceholder, condition);
}

std::string LoadSelectTemplate(Session& session, const std::string& key, const std::string& defaultSql,
                               const std::string& condition) {
  std::string sql = GetFieldValue(session, "Select FSQL From GLSelect Where FDH=?", "FSQL", {adodb::BoundText(key)})
                        .TextOrEmpty();
  sql = SubstituteTemplateValue(sql, "[操作人员编号]", session.OptCode);
  if (sql.empty()) sql = defaultSql;
  return ReplaceAll(sql, kConditionPlaceholder, condition);
}

}  // namespace storeadjust
