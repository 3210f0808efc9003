#include "host/TemplateCheck.h"

#include <array>
#include <utility>

#include "adodb/Error.h"
#include "adodb/Recordset.h"
#include "adodb/TextCompare.h"
#include "adodb/tsql/Translator.h"
#include "host/SelectTemplates.h"

namespace storeadjust {

namespace {

// What each placeholder is replaced by for the check: values of the kind the module puts there.
constexpr std::array<std::pair<const char*, const char*>, 5> kNeutralValues = {{
    {"[操作人员编号]", "000"},  // inside the template's own quotes
    {"[选择条件]", " and 1=1 "},
    {"[Where条件]", " "},
    {"[客户编号]", "''"},
    {"[系数]", "1"},
}};

// Templates that hold a select list, and the rest of the select the module puts around them.
constexpr std::array<std::pair<const char*, const char*>, 2> kColumnLists = {{
    {"仓库调拨单", " from CKDBDZKmx a inner join CKDBDZK b on a.lsh=b.lsh where a.lsh='' order by a.dh"},
    {"仓库调拨单商品信息",
     " from yw_kck a left join (select hh, sjsl from ywbalance where fperiod=0 and fyear=0) b on a.hh=b.hh left join "
     "(select hh, sjsl from ywbalance where fperiod=0 and fyear=0) c on a.hh=c.hh where a.hh = ''"},
}};

// A profile value is a statement when it starts like one; the rest are switches and numbers.
bool LooksLikeStatement(const std::string& value) {
  const std::string_view text = adodb::Trimmed(value);
  const std::string first = adodb::UpperName(text.substr(0, text.find_first_of(" \t\r\n(")));
  for (const char* keyword : {"SELECT", "WITH", "INSERT", "UPDATE", "DELETE"})
    if (first == keyword) return true;
  return false;
}

}  // namespace

std::string CompletedForCheck(const std::string& name, const std::string& stored) {
  std::string statement = stored;
  for (const auto& [list, rest] : kColumnLists)
    if (adodb::SameName(name, list)) statement = "select " + statement + rest;
  for (const auto& [placeholder, value] : kNeutralValues) statement = ReplaceAll(statement, placeholder, value);
  return statement;
}

std::vector<StoredTemplate> ReadStoredTemplates(adodb::Connection& conn) {
  std::vector<StoredTemplate> templates;
  auto glselect = conn.OpenRecordset("select FDH, FSQL from GLSelect order by FDH");
  for (; !glselect->EOF(); glselect->MoveNext()) {
    const std::string name = glselect->Value("FDH").TextOrEmpty();
    const std::string sql = glselect->Value("FSQL").TextOrEmpty();
    if (!adodb::Trimmed(sql).empty()) templates.push_back({"GLSelect " + name, CompletedForCheck(name, sql)});
  }
  auto profile = conn.OpenRecordset("select FCategory, FKey, FValue from t_SystemProfile order by FCategory, FKey");
  for (; !profile->EOF(); profile->MoveNext()) {
    const std::string value = profile->Value("FValue").TextOrEmpty();
    if (!LooksLikeStatement(value)) continue;
    templates.push_back({"t_SystemProfile " + profile->Value("FCategory").TextOrEmpty() + "/" +
                             profile->Value("FKey").TextOrEmpty(),
                         CompletedForCheck({}, value)});
  }
  return templates;
}

TemplateCheck CheckTemplates(const std::vector<StoredTemplate>& templates) {
  TemplateCheck check;
  for (const StoredTemplate& t : templates) {
    ++check.checked;
    try {
      adodb::tsql::Translate(t.statement);
    } catch (const adodb::Error& e) {
      check.refused.push_back({t.origin, e.Description()});
    }
  }
  return check;
}

}  // namespace storeadjust
