#include "adodb/OdbcColumns.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "adodb/tsql/UnnamedColumn.h"

namespace adodb::odbc {

namespace {

std::string TextAttribute(SQLHSTMT statement, SQLUSMALLINT column, SQLUSMALLINT field) {
  char buffer[512] = {};
  SQLSMALLINT length = 0;
  const SQLRETURN rc = SQLColAttribute(statement, column, field, buffer, sizeof buffer, &length, nullptr);
  if (!SQL_SUCCEEDED(rc) || length <= 0) return {};
  return std::string(buffer, std::min<std::size_t>(static_cast<std::size_t>(length), sizeof buffer - 1));
}

// SQL Server's money and smallmoney arrive as DECIMAL(19,4) and DECIMAL(10,4).
DataType DataTypeFromSqlType(SQLSMALLINT sqlType, SQLULEN precision, SQLSMALLINT scale) {
  switch (sqlType) {
    case SQL_CHAR: return adChar;
    case SQL_VARCHAR: return adVarChar;
    case SQL_LONGVARCHAR: return adLongVarChar;
    case SQL_WCHAR: return adWChar;
    case SQL_WVARCHAR: return adVarWChar;
    case SQL_WLONGVARCHAR: return adLongVarWChar;
    case SQL_INTEGER: return adInteger;
    case SQL_SMALLINT: return adSmallInt;
    case SQL_TINYINT: return adTinyInt;
    case SQL_BIGINT: return adBigInt;
    case SQL_BIT: return adBoolean;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
      return scale == 4 && (precision == 19 || precision == 10) ? adCurrency : adNumeric;
    case SQL_DOUBLE:
    case SQL_FLOAT: return adDouble;
    case SQL_REAL: return adSingle;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP: return adDBTimeStamp;
    case SQL_TYPE_DATE:
    case SQL_DATE: return adDBDate;
    case SQL_GUID: return adGUID;
    default: return adVarChar;
  }
}

template <typename T>
bool ReadFixed(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT cType, T& out, bool& isNull) {
  SQLLEN indicator = 0;
  const SQLRETURN rc = SQLGetData(statement, column, cType, &out, sizeof out, &indicator);
  if (!SQL_SUCCEEDED(rc)) return false;
  isNull = indicator == SQL_NULL_DATA;
  return true;
}

// SQLite's driver types an expression's column by a value it has met (the first row, or an earlier
// run of the same prepared statement) and cuts a later 5.5 to 5 without a word when asked for an
// integer: the value is read as its text and kept as the number it is, whole (5.0 too) or not.
Variant WholeOrNot(Variant text) {
  if (text.IsNull()) return text;
  const std::string& digits = text.RawText();
  long long whole = 0;
  const auto read = std::from_chars(digits.data(), digits.data() + digits.size(), whole);
  double number = 0;
  if (read.ec == std::errc() && read.ptr == digits.data() + digits.size()) return Variant(whole);
  if (!ParseNumber(digits, number)) return text;
  if (std::trunc(number) == number && std::fabs(number) < 9.0e15) return Variant(static_cast<long long>(number));
  return Variant(number);
}
bool ReadWholeOrNot(SQLHSTMT statement, SQLUSMALLINT column, Variant& value) {
  Variant text;
  if (!ReadText(statement, column, text)) return false;
  value = WholeOrNot(std::move(text));
  return true;
}

}  // namespace

ColumnInfo DescribeColumn(SQLHSTMT statement, SQLUSMALLINT column, const Handle& handle, NativeErrors natives) {
  SQLCHAR name[512] = {};
  SQLSMALLINT nameLength = 0, sqlType = 0, scale = 0, nullable = 0;
  SQLULEN precision = 0;
  Check(SQLDescribeCol(statement, column, name, sizeof name, &nameLength, &sqlType, &precision, &scale, &nullable),
        handle, natives, "SQLDescribeCol failed");
  ColumnInfo info;
  info.name = tsql::ServerColumnName(std::string_view(
      reinterpret_cast<const char*>(name), std::min<std::size_t>(static_cast<std::size_t>(nameLength), sizeof name - 1)));
  // The declared type name is what SQLite keeps ("money", "bit", "datetime"); it also tells
  // SQL Server's money from a plain decimal.
  const std::string typeName = TextAttribute(statement, column, SQL_DESC_TYPE_NAME);
  info.type = typeName.empty() ? adEmpty : DataTypeFromDeclaration(typeName);
  if (info.type == adEmpty) info.type = DataTypeFromSqlType(sqlType, precision, scale);
  info.baseTable = TextAttribute(statement, column, SQL_DESC_BASE_TABLE_NAME);
  if (!info.baseTable.empty()) info.baseColumn = TextAttribute(statement, column, SQL_DESC_BASE_COLUMN_NAME);
  if (info.baseColumn.empty()) info.baseTable.clear();
  return info;
}

ValueKind KindOf(DataType type) {
  switch (type) {
    case adSmallInt:
    case adInteger:
    case adTinyInt:
    case adBigInt: return ValueKind::Integer;
    case adBoolean: return ValueKind::Boolean;
    case adSingle:
    case adDouble:
    case adDecimal:
    case adNumeric: return ValueKind::Double;
    case adCurrency: return ValueKind::Currency;
    case adDate:
    case adDBDate:
    case adDBTimeStamp: return ValueKind::Date;
    default: return ValueKind::Text;
  }
}

// Reads the column as UTF-8 text, chunk by chunk. False when the driver refused the read.
bool ReadText(SQLHSTMT statement, SQLUSMALLINT column, Variant& value) {
  std::string text;
  char chunk[4096];
  for (;;) {
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(statement, column, SQL_C_CHAR, chunk, sizeof chunk, &indicator);
    if (rc == SQL_NO_DATA) break;
    if (!SQL_SUCCEEDED(rc)) return false;
    if (indicator == SQL_NULL_DATA) {
      value = Variant::Null();
      return true;
    }
    const bool truncated = indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(sizeof chunk);
    text.append(chunk, truncated ? sizeof chunk - 1 : static_cast<std::size_t>(indicator));
    if (rc == SQL_SUCCESS) break;
  }
  value = Variant(std::move(text));
  return true;
}

Date DateFromTimestamp(const SQL_TIMESTAMP_STRUCT& stamp) {
  return Date{stamp.year, stamp.month, stamp.day, stamp.hour, stamp.minute, stamp.second};
}

// Reads the column in the form its type asks for. SQLite keeps whatever was stored whatever the
// declaration, so a value the driver cannot convert is read as text rather than lost.
bool ReadTyped(SQLHSTMT statement, SQLUSMALLINT column, ValueKind kind, Variant& value) {
  bool isNull = false;
  switch (kind) {
    case ValueKind::Integer: return ReadWholeOrNot(statement, column, value);
    case ValueKind::Boolean: {
      std::int64_t number = 0;
      if (!ReadFixed(statement, column, SQL_C_SBIGINT, number, isNull)) return false;
      value = isNull ? Variant::Null() : Variant(number != 0);
      return true;
    }
    case ValueKind::Double:
    case ValueKind::Currency: {
      double number = 0;
      if (!ReadFixed(statement, column, SQL_C_DOUBLE, number, isNull)) return false;
      if (isNull) value = Variant::Null();
      else value = kind == ValueKind::Currency ? Variant::Currency(number) : Variant(number);
      return true;
    }
    case ValueKind::Date: {
      SQL_TIMESTAMP_STRUCT stamp{};
      if (!ReadFixed(statement, column, SQL_C_TYPE_TIMESTAMP, stamp, isNull)) return false;
      value = isNull ? Variant::Null() : Variant(DateFromTimestamp(stamp));
      return true;
    }
    case ValueKind::Text: return ReadText(statement, column, value);
  }
  return false;
}

// SQLite's driver gives NULL for a value it cannot convert to the type asked for ('' in a datetime
// column, text in a money or bit column), so these are read as their text and converted as the
// embedded database converts what a column holds: a number stays a number, a date in a form it
// reads is a date, anything else is kept as the text.
bool ReadStored(SQLHSTMT statement, SQLUSMALLINT column, ValueKind kind, Variant& value) {
  if (kind == ValueKind::Integer || kind == ValueKind::Text) return ReadTyped(statement, column, kind, value);
  Variant text;
  if (!ReadText(statement, column, text)) return false;
  double number = 0;
  if (text.IsNull()) {
    value = Variant::Null();
  } else if (kind == ValueKind::Date) {
    const std::optional<Date> date = ParseNumber(text.RawText(), number) ? std::nullopt : Date::Parse(text.RawText());
    value = date ? Variant(*date) : WholeOrNot(std::move(text));
  } else if (!ParseNumber(text.RawText(), number)) {
    value = std::move(text);
  } else if (kind == ValueKind::Boolean) {
    value = Variant(number != 0);
  } else {
    value = kind == ValueKind::Currency ? Variant::Currency(number) : Variant(number);
  }
  return true;
}

}  // namespace adodb::odbc
