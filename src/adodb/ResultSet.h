#pragma once
// What a backend hands back for a query: column descriptions and every row, already converted
// to variants. The Recordset owns one of these (shared between clones).
#include <memory>
#include <string>
#include <vector>

#include "adodb/DataType.h"
#include "adodb/Variant.h"

namespace adodb {

struct ColumnInfo {
  std::string name;        // the alias as the select list gives it
  DataType type = adEmpty;
  std::string baseTable;   // table the column comes from, when it is a plain column (for editable sets)
  std::string baseColumn;  // column name in that table
  bool isKey = false;      // part of the base table's primary key
};

using Row = std::vector<Variant>;

struct ResultSet {
  std::vector<ColumnInfo> columns;
  std::vector<Row> rows;
};

}  // namespace adodb
