#pragma once
// The value a reader hands back when a column is NULL or the query found no row. Columns fall
// into three groups by their ADO data type: numbers read as 0, dates as 1900-01-01, everything
// else as empty text. The single-value reader (GetFieldValue) and the row reader (GetSqlValue)
// count different types as numbers and dates; each has its own classifier.
#include "adodb/DataType.h"
#include "adodb/Variant.h"

namespace storeadjust {

enum class TypeGroup { Number, Date, Other };

// GetFieldValue's grouping: the wide list of numeric and date types.
TypeGroup FieldValueTypeGroup(adodb::DataType type);
// GetSqlValue's grouping: only integer, double, Boolean, decimal and numeric count as numbers,
// only the timestamp type as a date.
TypeGroup SqlValueTypeGroup(adodb::DataType type);

// A column a grid shows as a number, right-aligned: GetFieldValue's numbers but the bit flag,
// which reads as a check box.
bool IsNumberColumn(adodb::DataType type);

// 0, the date 1900-01-01, or empty text.
adodb::Variant DefaultOfGroup(TypeGroup group);

}  // namespace storeadjust
