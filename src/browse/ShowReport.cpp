#include "browse/ShowReport.h"

#include <exception>

#include "browse/FrmReport.h"
#include "host/ErrorText.h"

namespace storeadjust {

void ShowReport(Session& session, const BoundSql& query, const std::string& reportCode,
                const std::string& reportName, const std::string& startDate, const std::string& endDate) {
  try {
    FrmReport report(*session.Ui);
    report.SetSession(session);
    report.SetConnectStr(session.ConnStr);
    report.SetIsShowOrder(false);
    report.SetReportCode(reportCode);
    report.SetReportName(reportName);
    report.SetStartDate(startDate);
    report.SetEndDate(endDate);
    report.SetDataSource(query.text, query.values);
    report.SetDataFormat(0);
    ShowModal(*session.Ui, report);
  } catch (const std::exception& error) {
    session.Ui->MsgBox(ErrorText(error), mb::kInformation, "系统提示");
  }
}

}  // namespace storeadjust
