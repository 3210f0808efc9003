#include "editor/MeasureUnits.h"

#include <vector>

#include "host/DataHelpers.h"
#include "host/GridNumberPlaces.h"
#include "host/LenientValues.h"
#include "host/SelectDialog.h"

namespace storeadjust {

std::optional<MeasureUnit> ChooseMeasureUnit(Session& session, const std::string& hh, bool* cancelled,
                                             const std::string& heldUnit) {
  if (cancelled) *cancelled = false;
  const adodb::BoundValues goods = {adodb::BoundText(hh)};
  const auto units = CountRecords(session,
                                  "Select A.LDW,B.FMeasureUnitID,B.FName From Yw_Kck A Left Join t_MeasureUnit B ON "
                                  "A.hh=b.hh Where a.HH=? and isnull(B.FDeleted,0)=0",
                                  goods);
  if (units <= 1) return std::nullopt;
  SelectionSubject subject{"单位"};
  if (!heldUnit.empty()) subject.heldRow = {heldUnit};
  // 售价 and 会员价 read as the goods panel's 零售价 beside them does: 18.60, not 18.6.
  if (session.SysVarRs) subject.places = SiteNumberPlaces(*session.SysVarRs);
  const std::vector<adodb::Variant> row = SelectFromList(
      session,
      "SELECT FMeasureUnitID As 编码,FName As 名称,FCoefficient As 系数,isnull(a.Sj,0) as 售价,isnull(a.HYJ,0) AS "
      "会员价 From t_MeasureUnit a  left join yw_kck b on a.hh=b.hh where b.hh=? and isnull(a.FDeleted,0)=0 Order By "
      "FDefault Desc,FMeasureUnitID",
      false, subject, nullptr, goods);
  if (row.size() < 4 || NumberOrZero(row[0]) <= 0) {
    if (cancelled) *cancelled = true;
    return std::nullopt;
  }
  return MeasureUnit{row[1].TextOrEmpty(), row[2].TextOrEmpty(), CountedCoefficient(NumberOrZero(row[3])), true};
}

}  // namespace storeadjust
