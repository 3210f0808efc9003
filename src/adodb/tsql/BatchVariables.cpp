#include "adodb/tsql/BatchVariables.h"

#include <algorithm>

#include "adodb/TextCompare.h"
#include "adodb/tsql/Refusal.h"
#include "adodb/tsql/VariableStore.h"

namespace adodb::tsql {
namespace {

bool IsCharacterType(const std::string& name) {
  return name == "varchar" || name == "nvarchar" || name == "char" || name == "nchar";
}

void RefuseSystemVariable(std::string_view name) {
  if (name.size() > 1 && name[1] == '@') Refuse("the system variable " + std::string(name));
}

}  // namespace

void BatchVariables::Declare(std::string_view name, SqlType type) {
  RefuseSystemVariable(name);
  std::string key = LowerName(name);
  if (std::any_of(declared_.begin(), declared_.end(), [&](const auto& d) { return d.first == key; }))
    Refuse("declaring the variable " + std::string(name) + " twice in one batch");
  if (type.name == "table") {
    declared_.emplace_back(std::move(key), std::move(type));
    return;
  }
  if (type.size.empty() && IsCharacterType(type.name)) type.size.push_back("1");
  RewriteConversion(type, "NULL", std::nullopt);  // refuses a type the conversions do not know
  declared_.emplace_back(std::move(key), std::move(type));
}

void BatchVariables::DeclareTable(std::string_view name) { Declare(name, SqlType{"table", {}}); }

bool BatchVariables::IsTable(std::string_view name) const {
  const std::string key = LowerName(name);
  return std::any_of(declared_.begin(), declared_.end(),
                     [&](const auto& d) { return d.first == key && d.second.name == "table"; });
}

std::vector<std::string> BatchVariables::TableNames() const {
  std::vector<std::string> names;
  for (const auto& [name, type] : declared_)
    if (type.name == "table") names.push_back(name);
  return names;
}

const SqlType& BatchVariables::TypeOf(std::string_view name) const {
  RefuseSystemVariable(name);
  const std::string key = LowerName(name);
  for (const auto& [declared, type] : declared_) {
    if (declared != key) continue;
    if (type.name == "table") Refuse("the table variable " + std::string(name) + " as a value");
    return type;
  }
  Refuse("the variable " + std::string(name) + " outside a batch that declares it");
}

std::string BatchVariables::Read(std::string_view name) const {
  TypeOf(name);
  return "tsql_variable('" + LowerName(name) + "')";
}

std::string BatchVariables::Converted(std::string_view name, const std::string& value) const {
  return RewriteConversion(TypeOf(name), value, std::nullopt);
}

std::string AssignmentList(const std::vector<std::pair<std::string, std::string>>& assignments) {
  std::string list;
  for (const auto& [name, value] : assignments) {
    const bool first = list.empty();
    list += (first ? "" : ", ") + std::string("tsql_assign('") + LowerName(name) + "', " + value + ")";
    if (first) list += " AS " + std::string(kAssignmentColumn);
  }
  return list;
}

}  // namespace adodb::tsql
