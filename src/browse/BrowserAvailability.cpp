// Which of the browser's commands are greyed out, and why: the operator's rights (read once when
// the browser loads) and, for 修改, the state of the current bill, read again on every row change.
// The commands keep their own checks.
#include "browse/FrmStoreAdjuctBillBrow.h"
#include "lines/BillHeaderState.h"

namespace storeadjust {

namespace {

struct RightOfControl {
  const char* control;
  const char* right;
};

constexpr RightOfControl kRightsOfControls[] = {
    {"新增", "新增"},   {"删除", "删除"},         {"报表", "报表"},       {"mnuBrowInput", "报表"},
    {"重打", "重打"},   {"mnuCd", "重打"},        {"预览", "打印"},       {"mnuReport", "打印"},
    {"打印", "打印"},   {"mnuPrint", "打印"},     {"审核", "审核"},       {"过账", "记帐"},
    {"mnuPostOneByOne", "记帐"}, {"记账", "记帐"},
};

}  // namespace

void FrmStoreAdjuctBillBrow::ReadRights() {
  std::vector<std::string> names = {"修改"};
  for (const RightOfControl& entry : kRightsOfControls) names.push_back(entry.right);
  rights_ = HeldRights::Read(session_, names);
}

void FrmStoreAdjuctBillBrow::ShowAvailability() {
  for (const RightOfControl& entry : kRightsOfControls) SetAvailable(entry.control, rights_.Missing(entry.right));
  const std::string amend = AmendReason();
  SetAvailable("修改", amend);
  SetAvailable("mnuNew", amend);
}

// A bill past entry takes no change to its lines; 查看 still opens it for its state commands. A
// two-step bill only issued may still get new in-warehouse goods places; one issued in two steps
// before the site went over to one step is past entry like any audited bill, as the editor has it.
std::string FrmStoreAdjuctBillBrow::AmendReason() {
  if (!rights_.Holds("修改")) return rights_.Missing("修改");
  const std::string serial = CurrentSerial();
  if (serial.empty() || !session_.Conn) return {};
  try {
    const BillHeaderState header = ReadBillHeader(*session_.Conn, serial, false);
    if (layout_ == BrowserLayout::TwoStep) return header.audited ? "单据已确认，不能修改" : "";
    return header.audited || header.preAudited ? "单据已审核，不能修改" : "";
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace storeadjust
