#include <exception>
#include <string>

#include "browse/BrowseReportQuery.h"
#include "browse/FrmStoreAdjuctBillBrow.h"
#include "browse/ShowReport.h"
#include "host/ErrorText.h"
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
    const BoundSql scope = GetDataScopeFilter(session_);
    const std::string sysDate = DayText(session_.SysDate);
    ShowReport(session_, {BrowseReportQuery(scope.text), scope.values}, kBrowseReportName, kBrowseReportName, sysDate,
               sysDate);
  } catch (const std::exception& error) {
    session_.Ui->MsgBox(ErrorText(error), mb::kCritical, "系统提示");
  }
}

}  // namespace storeadjust
