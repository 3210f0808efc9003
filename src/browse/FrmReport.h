#pragma once
// The report window: a toolbar (Toolbar1), a title band (Pic1) holding the report's name
// (LblRptName) and the report grid QvGrid1. The caller sets the parameters below, then shows the
// form modally (ShowModal); loading hands them to the grid in the grid's order, shows the name
// and reloads the grid under the hourglass. The toolbar's 预览 导出 属性 过滤 页面 run the grid's
// commands 1..5, 刷新 reloads it, 返回 and Esc close the window. The session, when the caller
// hands it over, names the operator in the window's title and gives the grid the site's places
// for quantities and prices.
//
// A grid that cannot load (a query the database refuses, a record set that is not open) shows
// the error's description (64, "系统提示") and leaves the window open with the rows it had.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "adodb/Recordset.h"
#include "browse/FrmStoreAdjuctBillBrow.h"
#include "host/FormModel.h"
#include "host/QvGrid.h"
#include "host/Session.h"
#include "host/UserInterface.h"

namespace storeadjust {

class FrmReport : public FormModel {
 public:
  static constexpr const char* kGrid = "QvGrid1";
  static constexpr const char* kToolbar = "Toolbar1";
  static constexpr const char* kTitleBand = "Pic1";
  static constexpr const char* kTitleLabel = "LblRptName";

  explicit FrmReport(UserInterface& ui);

  // The toolbar in order, for views to lay out.
  static const std::vector<ToolbarButtonInfo>& ToolbarButtons();

  // Parameters, kept until the form loads.
  void SetRecoreSet(std::shared_ptr<adodb::Recordset> recordset) { recoreSet_ = std::move(recordset); }
  void SetConnectStr(const std::string& text) { connectStr_ = text; }
  // The query, with the values of its ? marks in order.
  void SetDataSource(const std::string& text, adodb::BoundValues values = {}) {
    dataSource_ = text;
    dataSourceValues_ = std::move(values);
  }
  void SetDataFormat(std::int16_t dataFormat) { dataFormat_ = dataFormat; }
  void SetIsShowOrder(bool isShowOrder) { isShowOrder_ = isShowOrder; }
  void SetReportCode(const std::string& text) { reportCode_ = text; }
  void SetReportName(const std::string& text) { reportName_ = text; }
  void SetStartDate(const std::string& text) { startDate_ = text; }
  void SetEndDate(const std::string& text) { endDate_ = text; }
  void SetUserDefStr0(const std::string& text) { userDefStr0_ = text; }
  void SetUserDefStr1(const std::string& text) { userDefStr1_ = text; }
  void SetSession(const Session& session) { session_ = &session; }

  // Nothing when the report was opened without a session.
  const Session* CurrentSession() const { return session_; }

  QvGrid& ReportGrid() { return grid_; }
  GridModel* Grid(const std::string& name) override;
  void Click(const std::string& name) override;
  void ShowTitleBand();

  // 刷新: the grid reads its rows again.
  void RefreshReport();

 protected:
  void FormLoad() override;
  void FormKeyDown(int& keyCode, int shift) override;

 private:
  void DeclareControls();
  void HandParametersToGrid();
  void ReloadGrid();

  UserInterface& ui_;
  QvGrid grid_;
  std::shared_ptr<adodb::Recordset> recoreSet_;
  std::string connectStr_;
  std::string dataSource_;
  adodb::BoundValues dataSourceValues_;
  std::int16_t dataFormat_ = 0;
  bool isShowOrder_ = false;
  std::string reportCode_, reportName_, startDate_, endDate_, userDefStr0_, userDefStr1_;
  const Session* session_ = nullptr;
};

}  // namespace storeadjust
