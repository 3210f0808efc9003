#pragma once
// Stored-procedure parameters bound for "{call NAME(?,...)}": a buffer per parameter in the C
// type its data type asks for, NULL or empty values as SQL NULL, text outputs with room for the
// declared size in UTF-8; and the values the call left in the output buffers.
#include <sql.h>
#include <sqlext.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "adodb/Parameter.h"

namespace adodb::odbc {

struct BoundParameter {
  SQLSMALLINT cType = SQL_C_CHAR;
  SQLSMALLINT sqlType = SQL_VARCHAR;
  SQLULEN columnSize = 0;
  SQLSMALLINT decimalDigits = 0;
  std::int64_t integer = 0;
  double number = 0;
  SQL_TIMESTAMP_STRUCT stamp{};
  std::string text;  // also the output buffer for text parameters
  SQLLEN indicator = 0;

  SQLPOINTER Buffer() {
    switch (cType) {
      case SQL_C_SBIGINT: return &integer;
      case SQL_C_DOUBLE: return &number;
      case SQL_C_TYPE_TIMESTAMP: return &stamp;
      default: return text.data();
    }
  }
  SQLLEN BufferLength() const {
    switch (cType) {
      case SQL_C_SBIGINT: return sizeof integer;
      case SQL_C_DOUBLE: return sizeof number;
      case SQL_C_TYPE_TIMESTAMP: return sizeof stamp;
      default: return static_cast<SQLLEN>(text.size());
    }
  }
};

BoundParameter PrepareBinding(const Parameter& parameter);
// A value for a statement's ? mark: as PrepareBinding, but a text goes as wide characters
// (SQL_C_WCHAR to SQL_WVARCHAR), so a server whose default collation is not Chinese keeps Chinese
// text, and a decimal is rounded to its scale.
BoundParameter PrepareValueBinding(const Parameter& parameter);
// The same for a data source that speaks SQLite, which holds a value as the embedded database
// does: a decimal or money value goes as a number rounded to its scale (a whole number as an
// integer), since a text stays text wherever no column's affinity turns it into a number; a
// date goes as the text of its stored form.
BoundParameter PrepareSqliteValueBinding(const Parameter& parameter);
SQLSMALLINT InputOutputTypeOf(ParameterDirection direction);
Variant ValueOfOutput(const BoundParameter& bound, DataType type);
// "{call NAME(?,?)}", or "{? = call NAME(?,?)}" when the first parameter takes the return value.
std::string CallEscape(const std::string& name, const std::vector<std::shared_ptr<Parameter>>& parameters);

}  // namespace adodb::odbc
