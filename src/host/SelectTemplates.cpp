#include "host/SelectTemplates.h"

#include "host/DataHelpers.h"
#include "host/SqlLiterals.h"

namespace storeadjust {

std::string ReplaceAll(std::string text, const std::string& placeholder, const std::string& value) {
  if (placeholder.empty()) return text;
  for (auto at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at + value.size())) {
    text.replace(at, placeholder.size(), value);
  }
  return text;
}

std::string LoadSelectTemplate(Session& session, const std::string& key, const std::string& defaultSql,
                               const std::string& condition) {
  std::string sql =
      GetFieldValue(session, "Select FSQL From GLSelect Where FDH='" + QuoteSql(key) + "'", "FSQL").TextOrEmpty();
  sql = ReplaceAll(sql, "[操作人员编号]", QuoteSql(session.OptCode));
  if (sql.empty()) sql = defaultSql;
  return ReplaceAll(sql, "[选择条件]", condition);
}

}  // namespace storeadjust
