#include "lines/GoodsFacts.h"

#include "adodb/Variant.h"
#include "host/DataHelpers.h"
#include "host/LenientValues.h"

namespace storeadjust {

std::optional<GoodsFacts> ReadGoodsFacts(Session& session, const std::string& hh) {
  auto rs =
      OpenRsReadOnly(session, "select hh,pm,pdw,lsj,zzsl,cbj,isnull(jjff,'') as jaff,fonlymoney from yw_kck where hh=?",
                     {adodb::BoundText(hh)});
  if (!rs || rs->RecordCount() < 1) return std::nullopt;
  rs->MoveFirst();
  GoodsFacts facts;
  facts.number = rs->Value("hh").TextOrEmpty();
  facts.name = rs->Value("pm").TextOrEmpty();
  facts.baseUnit = rs->Value("pdw").TextOrEmpty();
  facts.retailPrice = NumberOrZero(rs->Value("lsj"));
  facts.taxRate = NumberOrZero(rs->Value("zzsl"));
  facts.costPrice = NumberOrZero(rs->Value("cbj"));
  const adodb::Variant& amountOnly = rs->Value("fonlymoney");
  facts.amountOnly = !amountOnly.IsNull() && amountOnly.AsBool();
  double method = 0;
  facts.batchPriced = adodb::ParseNumber(rs->Value("jaff").TextOrEmpty(), method) && method == 5;
  rs->Close();
  return facts;
}

}  // namespace storeadjust
