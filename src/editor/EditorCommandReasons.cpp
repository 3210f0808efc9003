#include "editor/EditorCommandReasons.h"

#include "states/StateRulesOut.h"

namespace storeadjust {

namespace {

constexpr const char* kNoLines = "单据没有明细";
constexpr const char* kPosted = "单据已记帐";
constexpr const char* kNotAudited = "单据未审核";
constexpr const char* kNotConfirmed = "单据未确认";
constexpr const char* kNoConfirmStep = "未启用确认";

const char* RightOf(EditorCommand command) {
  switch (command) {
    case EditorCommand::New: return "新增";
    case EditorCommand::Amend: return "修改";
    case EditorCommand::Delete: return "删除";
    case EditorCommand::Print: return "打印";
    case EditorCommand::Reprint: return "重打";
    case EditorCommand::Audit: return "审核";
    case EditorCommand::UnAudit: return "反审";
    case EditorCommand::Confirm: return "确认";
    case EditorCommand::UnConfirm: return "反确认";
    case EditorCommand::Post: return "记帐";
    case EditorCommand::Save: return nullptr;
  }
  return nullptr;
}

// The state commands and line commands act on stored lines only.
bool NeedsLines(EditorCommand command) {
  return command != EditorCommand::New && command != EditorCommand::Reprint && command != EditorCommand::Save &&
         command != EditorCommand::Post;
}

// Past entry: audited in one step, or issued (pre-audited) in two.
bool PastEntry(const BillHeaderState& header) { return header.audited || header.preAudited; }

std::string LineChangeReason(EditorCommand command, const EditorBillFacts& bill) {
  const BillHeaderState& h = bill.header;
  if (command == EditorCommand::Save) {
    if (bill.viewOnly) return "以查看方式进入，不能保存";
    return PastEntry(h) ? "单据已审核，不能再添加数据" : "";
  }
  if (bill.viewOnly) return command == EditorCommand::Amend ? "以查看方式进入，不能修改" : "以查看方式进入，不能删除";
  // A two-step bill only issued may still get new in-warehouse goods places through 修改.
  const bool stillAmendable = command == EditorCommand::Amend && bill.twoStep && !h.audited;
  if (!PastEntry(h) || stillAmendable) return "";
  const std::string state = bill.twoStep && h.audited ? "单据已确认" : "单据已审核";
  return state + (command == EditorCommand::Amend ? "，不能修改" : "，不能删除");
}

// A header that could not be read rules nothing out: the command then refuses for itself.
std::string RuledOutByState(StateCommand command, const BillHeaderState& header) {
  return header.exists ? StateRulesOut(command, header) : "";
}

std::string StateReason(EditorCommand command, const EditorBillFacts& bill) {
  const BillHeaderState& h = bill.header;
  switch (command) {
    case EditorCommand::Amend:
    case EditorCommand::Delete:
    case EditorCommand::Save:
      return LineChangeReason(command, bill);
    case EditorCommand::Audit:
      return RuledOutByState(bill.twoStep ? StateCommand::PreAudit : StateCommand::Audit, h);
    case EditorCommand::UnAudit:
      return RuledOutByState(bill.twoStep ? StateCommand::UnPreAudit : StateCommand::UnAudit, h);
    case EditorCommand::Confirm:
      return bill.twoStep ? RuledOutByState(StateCommand::Confirm, h) : kNoConfirmStep;
    case EditorCommand::UnConfirm:
      return bill.twoStep ? RuledOutByState(StateCommand::UnConfirm, h) : kNoConfirmStep;
    case EditorCommand::Post:
      if (!h.exists) return "单据还没有保存";
      if (h.posted) return kPosted;
      if (!h.audited) return bill.twoStep ? kNotConfirmed : kNotAudited;
      return "";
    case EditorCommand::New:
    case EditorCommand::Print:
    case EditorCommand::Reprint:
      return "";
  }
  return "";
}

}  // namespace

std::string EditorCommandReason(EditorCommand command, const EditorBillFacts& bill, const HeldRights& rights) {
  if (const char* right = RightOf(command); right != nullptr && !rights.Holds(right)) return rights.Missing(right);
  if (NeedsLines(command) && !bill.hasLines) return kNoLines;
  return StateReason(command, bill);
}

}  // namespace storeadjust
