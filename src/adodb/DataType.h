#pragma once
// ADO's published data-type numbers, as Field::Type() reports them on every backend.
#include <cstdint>
#include <string_view>

namespace adodb {

enum DataType : std::int32_t {
  adEmpty = 0,
  adSmallInt = 2,
  adInteger = 3,
  adSingle = 4,
  adDouble = 5,
  adCurrency = 6,
  adDate = 7,
  adBoolean = 11,
  adDecimal = 14,
  adTinyInt = 17,
  adBigInt = 20,
  adGUID = 72,
  adChar = 129,
  adWChar = 130,
  adNumeric = 131,
  adDBDate = 133,
  adDBTimeStamp = 135,
  adVarChar = 200,
  adLongVarChar = 201,
  adVarWChar = 202,
  adLongVarWChar = 203,
};

// Maps a declared SQL Server column type ("varchar(20)", "money", "bit", "datetime" ...) to its
// ADO number. Unknown or empty declarations give adEmpty (the caller infers from the values).
DataType DataTypeFromDeclaration(std::string_view declared);

}  // namespace adodb
