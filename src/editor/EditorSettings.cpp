// What the editor reads once per opening: the list statements of the warehouse, goods and
// batch choices, the profile switches and the sys_var flags.
#include "adodb/Error.h"
#include "adodb/TextCompare.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "host/DataHelpers.h"
#include "host/ErrorText.h"
#include "host/SelectTemplates.h"
#include "host/Settings.h"
#include "states/PhkColumns.h"

namespace storeadjust {

namespace {

constexpr const char* kDefaultStockSelect =
    "select a.id as 仓库代码,a.name as 仓库名称 from gl_stock a where 1=1 [选择条件] Order by a.id";

constexpr const char* kDefaultGoodsSelect =
    "select a.hh as 货号,a.Pm_zjm as 品名助记码,a.lb as 类别,a.pm as 品名,a.bm as 别名,a.gg as 规格,a.cd as "
    "产地,a.mjl as 包装,a.pdw as 单位,b.kh as 位置,b.sjsl as 库存数量,a.pfj as 批发价,a.lsj as 零售价,a.sj as "
    "实价,a.zk as 折扣,a.cbj as 成本价,a.jj as 最后进价,a.fonlymoney as 金额品种,b.sjlsje as 实际零售金额 from "
    "yw_kck a left join ywbalance b on a.hh =b.hh where 1=1 [选择条件] order by a.hh";

// Empty counts as "0"; TRUE and FALSE in any case become "1" and "0"; anything else is kept.
std::string NormalizedForbiddenViewBatchPrice(const std::string& value) {
  const std::string upper = adodb::UpperName(value);
  if (value.empty() || upper == "FALSE") return "0";
  if (upper == "TRUE") return "1";
  return value;
}

}  // namespace

// The FSQL a template statement reads, the default when it is empty, and the operator code
// written where the template asks for it.
std::string FrmStoreAdjuctBill::LoadListStatement(const std::string& sql, const std::string& defaultSql) {
  std::string statement = GetFieldValue(session_, sql, "FSQL").TextOrEmpty();
  if (statement.empty()) statement = defaultSql;
  return SubstituteTemplateValue(statement, "[操作人员编号]", session_.OptCode);
}

void FrmStoreAdjuctBill::LoadListStatements() {
  OutStockSelectSql = LoadListStatement("Select FSQL From GLSelect Where FDH='调出仓库选择'", kDefaultStockSelect);
  InStockSelectSql = LoadListStatement("Select FSQL From GLSelect Where FDH='调入仓库选择'", kDefaultStockSelect);
  GoodsSelectSql = LoadListStatement("Select FSQL From GLSelect Where FDH='仓库调拨商品选择'", kDefaultGoodsSelect);
}

void FrmStoreAdjuctBill::ReadSystemVariables() {
  if (!session_.SysVarRs || session_.SysVarRs->State() != adodb::adStateOpen) throw adodb::Error::Closed();
  const adodb::Variant& bz3 = session_.SysVarRs->Value("bz3");
  IsBz3 = !bz3.IsNull() && bz3.AsBool();
}

void FrmStoreAdjuctBill::LoadProfileSettings() {
  IsChkZjm = IsProfileFlagOn(GetProfileValue(session_, "GL", "CHKZJM"));
  IsStartStoreAdjustOK = IsProfileFlagOn(GetProfileValue(session_, "GL", "StartStoreAdjustOK"));
  ShowTwoStepButtons();
  IsCkdbdDj = GetProfileValue(session_, "GL", "ISCKDBDDJ") == "1";
  // Transfers without prices store none: no figure typed there would be kept.
  for (const char* figure : {"TxtDj", "TxtJe"}) SetLocked(figure, IsCkdbdDj);
}

// Form_Load, steps in order; the first error ends the load with what was loaded so far.
void FrmStoreAdjuctBill::FormLoad() {
  try {
    LoadListStatements();
    ForbiddenViewBatchPrice =
        NormalizedForbiddenViewBatchPrice(GetProfileValue(session_, "GL", "ForbiddenViewBatchPrice"));
    ReadSystemVariables();
    BuildPhkColumnList(PhkColumnList);
    if (session_.isNotPh) SetVisible("Chk1", false);
    ApplyDecimalPlaces();
    ShowApprovalButton();
    BatchSelectSql = SubstituteTemplateValue(
        GetFieldValue(session_, "select fsql from glselect where fdh ='仓库调拨单批次选择'", "fsql").TextOrEmpty(),
        "[操作人员编号]", session_.OptCode);
    LoadProfileSettings();
  } catch (const std::exception& error) {
    session_.Ui->MsgBox(ErrorText(error) + "\n读取数据失败失败,请与管理员联系！", 48, "提示：");
    return;
  }
  ReadRights();
  // A request for a stored bill without a serial (the browser's list was empty) opens a new one.
  if (request_.mode != EditorRequest::Mode::New && !request_.lsh.empty()) {
    std::string lsh = request_.lsh;
    AmendAddNew(lsh);
  } else {
    AddNew();  // viewing an empty list still views: the new bill takes no line
  }
  ShowBillState();
}

void FrmStoreAdjuctBill::ReadRights() {
  rights_ = HeldRights::Read(session_, {"新增", "修改", "删除", "打印", "重打", "审核", "反审", "确认", "反确认", "记帐"});
}

// Nothing is trapped here: the load reports a failure.
void FrmStoreAdjuctBill::BuildPhkColumnList(std::string& list) { list = ReadPhkColumnList(session_.ConnStr); }

}  // namespace storeadjust
