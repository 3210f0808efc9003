#pragma once
// What a statement's result holds, read through ODBC: each column's name, type and base column,
// and each value in the form its type asks for. A value the driver cannot convert is read as
// text rather than lost (SQLite keeps whatever was stored, whatever the declaration).
#include <sql.h>
#include <sqlext.h>

#include "adodb/DataType.h"
#include "adodb/Date.h"
#include "adodb/OdbcErrors.h"
#include "adodb/ResultSet.h"
#include "adodb/Variant.h"

namespace adodb::odbc {

// Throws adodb::Error when the driver cannot describe the column.
ColumnInfo DescribeColumn(SQLHSTMT statement, SQLUSMALLINT column, const Handle& handle, NativeErrors natives);

// The form in which a value of a type is read from a result or bound to a parameter.
enum class ValueKind { Integer, Boolean, Double, Currency, Date, Text };
ValueKind KindOf(DataType type);

Date DateFromTimestamp(const SQL_TIMESTAMP_STRUCT& stamp);

// Read the column of the current row; false when the driver refused the read.
bool ReadText(SQLHSTMT statement, SQLUSMALLINT column, Variant& value);
bool ReadTyped(SQLHSTMT statement, SQLUSMALLINT column, ValueKind kind, Variant& value);
// The same from a SQLite database, whose columns hold whatever was stored: see OdbcColumns.cpp.
bool ReadStored(SQLHSTMT statement, SQLUSMALLINT column, ValueKind kind, Variant& value);

}  // namespace adodb::odbc
