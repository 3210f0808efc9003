#include "adodb/DataType.h"

#include <algorithm>
#include <string>
#include <utility>

#include "adodb/TextCompare.h"

namespace adodb {

namespace {

// SQL Server type names as the OLE DB provider reports them to ADO.
constexpr std::pair<std::string_view, DataType> kDeclaredTypes[] = {
    {"varchar", adVarChar},       {"nvarchar", adVarWChar},        {"char", adChar},
    {"nchar", adWChar},           {"text", adLongVarChar},         {"ntext", adLongVarWChar},
    {"int", adInteger},           {"integer", adInteger},          {"smallint", adSmallInt},
    {"tinyint", adTinyInt},       {"bigint", adBigInt},            {"bit", adBoolean},
    {"boolean", adBoolean},       {"money", adCurrency},           {"smallmoney", adCurrency},
    {"decimal", adNumeric},       {"numeric", adNumeric},          {"float", adDouble},
    {"double", adDouble},         {"real", adSingle},              {"datetime", adDBTimeStamp},
    {"smalldatetime", adDBTimeStamp}, {"datetime2", adDBTimeStamp}, {"date", adDBDate},
    {"uniqueidentifier", adGUID}, {"sysname", adVarWChar},
};

}  // namespace

DataType DataTypeFromDeclaration(std::string_view declared) {
  std::string name;
  for (char c : declared) {
    if (c == '(') break;
    if (c == '[' || c == ']') continue;
    name.push_back(c);
  }
  name = LowerName(Trimmed(name));
  if (name.empty()) return adEmpty;
  for (const auto& [known, type] : kDeclaredTypes) {
    if (name == known) return type;
  }
  return adEmpty;
}

}  // namespace adodb
