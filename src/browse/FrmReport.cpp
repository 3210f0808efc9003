#include "browse/FrmReport.h"

#include <exception>

#include "host/BusyPointer.h"
#include "host/ErrorText.h"
#include "host/KeyCodes.h"

namespace storeadjust {

FrmReport::FrmReport(UserInterface& ui) : FormModel("FrmReport"), ui_(ui), grid_(ui) { DeclareControls(); }

const std::vector<ToolbarButtonInfo>& FrmReport::ToolbarButtons() {
  static const std::vector<ToolbarButtonInfo> buttons = {
      {"预览", "打印预览"}, {"导出", "数据导出至Excel"}, {"属性", "设置报表属性"}, {"过滤", "过滤数据"},
      {"页面", "列属性定义"}, {"刷新", "刷新数据"},       {"返回", "退出报表浏览"},
  };
  return buttons;
}

void FrmReport::DeclareControls() {
  AddControl(kToolbar, ControlKind::Frame);
  for (const auto& button : ToolbarButtons()) {
    AddControl(button.key, ControlKind::ToolbarButton, button.key);
    MutableControl(button.key).toolTip = button.toolTip;
  }
  AddControl(kTitleBand, ControlKind::Frame);
  AddControl(kTitleLabel, ControlKind::Label);
  AddControl(kGrid, ControlKind::Grid);
}

GridModel* FrmReport::Grid(const std::string& name) { return name == kGrid ? &grid_ : nullptr; }

void FrmReport::FormLoad() {
  HandParametersToGrid();
  // A label shows its caption; scripts and views read a control's text, so both carry the name.
  SetCaption(kTitleLabel, reportName_);
  SetText(kTitleLabel, reportName_);
  Caption = reportName_;
  ReloadGrid();
  SetFocus(kGrid);
}

void FrmReport::HandParametersToGrid() {
  grid_.SetDataFormat(dataFormat_);
  grid_.SetConnectStr(connectStr_);
  if (dataFormat_ != 0) {
    grid_.SetRecoreSet(recoreSet_);
  } else {
    grid_.SetDataSource(dataSource_, dataSourceValues_);
  }
  grid_.SetIsShowOrder(isShowOrder_);
  grid_.SetReportCode(reportCode_);
  grid_.SetReportName(reportName_);
  grid_.SetStartDate(startDate_);
  grid_.SetEndDate(endDate_);
  grid_.SetUserDefStr0(userDefStr0_);
  grid_.SetUserDefStr1(userDefStr1_);
  if (session_ != nullptr && session_->SysVarRs) grid_.SetNumberPlaces(SiteNumberPlaces(*session_->SysVarRs));
}

void FrmReport::ReloadGrid() {
  BusyPointer busy(ui_);
  try {
    grid_.Reload();
  } catch (const std::exception& error) {
    ui_.MsgBox(ErrorText(error), mb::kInformation, "系统提示");
  }
}

void FrmReport::RefreshReport() { ReloadGrid(); }

void FrmReport::Click(const std::string& name) {
  Control(name);  // an unknown name is an error
  static const char* const kGridCommands[] = {"预览", "导出", "属性", "过滤", "页面"};
  for (int command = 1; command <= 5; ++command) {
    if (name == kGridCommands[command - 1]) grid_.Command(command);
  }
  if (name == "刷新") RefreshReport();
  if (name == "返回") Close();
  ShowTitleBand();
  NotifyChanged();
}

// A filtered report says so in its title band: rows left out by the clerk's own filter must not
// pass for rows that are not there. The band shows the title the printout and the export carry,
// the one given in 属性 included. Scripts read the label's text, which keeps the name alone.
void FrmReport::ShowTitleBand() { SetCaption(kTitleLabel, grid_.PrintedTitle()); }

void FrmReport::FormKeyDown(int& keyCode, int shift) {
  (void)shift;
  if (keyCode != key::kEscape) return;
  keyCode = 0;
  Close();
}

}  // namespace storeadjust
