#include <exception>
#include <string>

#include "browse/BrowseReportQuery.h"
#include "browse/FrmStoreAdjuctBillBrow.h"
#include "browse/ShowReport.h"
#include "host/ErrorText.h"
#include "host/QvGrid.h"
#include "host/Rights.h"

namespace storeadjust {

namespace {

constexpr const char* kBrowseReportName = "仓库调拨单--浏览";

// The business date as a day, whatever time of day the host handed over with it.
std::string DayText(const adodb::Date& date) {
  adodb::Date day = date;
  day.hour = day.minute = day.second = 0;
  return day.ToText();
}

}  // namespace

void FrmStoreAdjuctBillBrow::BrowseReport() {
  try {
    if (!Allowed("报表")) return;
    // The report covers the bills the list shows: a clerk who found the bills of one warehouse or
    // week and asks for their lines means those. Its name says so, so that it does not pass for
    // the whole report on screen or paper.
    const BoundSql scope = GetDataScopeFilter(session_) + FindCondition(listFind_, "A");
    const std::string name =
        listFind_.IsEmpty() ? kBrowseReportName : std::string(kBrowseReportName) + QvGrid::kFilteredMark;
    const std::string sysDate = DayText(session_.SysDate);
    ShowReport(session_, {BrowseReportQuery(scope.text), scope.values}, kBrowseReportName, name, sysDate, sysDate);
  } catch (const std::exception& error) {
    session_.Ui->MsgBox(ErrorText(error), mb::kCritical, "系统提示");
  }
}

}  // namespace storeadjust
