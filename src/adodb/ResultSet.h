#pragma once
// What a backend hands back for a query: column descriptions and every row, already converted
// to variants. The Recordset owns one of these (shared between clones).
#include <string>
#include <vector>

#include "adodb/DataType.h"
#include "adodb/RowTable.h"

namespace adodb {

struct ColumnInfo {
  std::string name;        // the alias as the select list gives it
  DataType type = adEmpty;
  std::string baseTable;   // table the column comes from, when it is a plain column (for editable sets)
  std::string baseColumn;  // column name in that table
  bool isKey = false;      // part of the base table's primary key
};

struct ResultSet {
  std::vector<ColumnInfo> columns;
  RowTable rows;
};

}  // namespace adodb
