#include "host/LinePriceInBaseUnit.h"

namespace storeadjust {

std::string LineInBaseUnitSql(const std::string& lineAlias) {
  const std::string a = lineAlias + ".";
  return "(IsNull(" + a + "srsl,0)=0 or IsNull(" + a + "sl,0)=0 or " + a + "srsl=" + a + "sl)";
}

std::string LinePriceInBaseUnitSql(const std::string& lineAlias) {
  const std::string a = lineAlias + ".";
  return "case when " + LineInBaseUnitSql(lineAlias) + " or " + a + "srsl*" + a + "sl<0 then " + a + "dj else " + a +
         "dj*" + a + "srsl/" + a + "sl end";
}

}  // namespace storeadjust
