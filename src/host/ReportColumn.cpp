#include "host/ReportColumn.h"

namespace storeadjust {

bool ReportColumnTypeOf(adodb::DataType type, ReportColumnType& kind) {
  switch (type) {
    case adodb::adSmallInt:
    case adodb::adInteger:
    case adodb::adSingle:
    case adodb::adDouble:
    case adodb::adCurrency:
    case adodb::adBoolean:
    case adodb::adDecimal:
    case adodb::adTinyInt:
    case adodb::adBigInt:
    case adodb::adNumeric:
      kind = ReportColumnType::Number;
      return true;
    case adodb::adDate:
    case adodb::adDBDate:
    case adodb::adDBTimeStamp:
      kind = ReportColumnType::Date;
      return true;
    case adodb::adEmpty:
      return false;
    default:
      kind = ReportColumnType::Text;
      return true;
  }
}

}  // namespace storeadjust
