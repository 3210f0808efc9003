#pragma once
// One column of a report as the report grid shows and exports it: the query's alias, what kind
// of value it holds (so numbers stay numbers and dates stay dates in a spreadsheet) and whether
// the user shows it.
#include <string>

#include "adodb/DataType.h"

namespace storeadjust {

enum class ReportColumnType { Text, Number, Date };

struct ReportColumn {
  std::string name;
  ReportColumnType type = ReportColumnType::Text;
  bool visible = true;
  // Places a figure of the column shows at least: cents for a money column, as the slip and the
  // spreadsheet show amounts; -1 for a figure as stored.
  int places = -1;
};

// The kind a declared column type stands for; nothing when the provider could not tell (the
// caller looks at the values).
bool ReportColumnTypeOf(adodb::DataType type, ReportColumnType& kind);

}  // namespace storeadjust
