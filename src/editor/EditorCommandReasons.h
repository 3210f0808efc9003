#pragma once
// Why one of the editor's commands cannot run on the bill as it stands, in the few words a grey
// button shows as its tool tip: the operator's right first, then a bill without lines, then the
// bill's state, the order in which the command itself refuses. Empty when the command can run.
// The commands keep their own checks; this only tells the clerk beforehand.
#include <string>

#include "host/HeldRights.h"
#include "lines/BillHeaderState.h"

namespace storeadjust {

enum class EditorCommand { New, Amend, Delete, Save, Print, Reprint, Audit, UnAudit, Confirm, UnConfirm, Post };

struct EditorBillFacts {
  BillHeaderState header;  // header.exists: the bill is stored
  bool hasLines = false;
  bool viewOnly = false;
  bool twoStep = false;
};

std::string EditorCommandReason(EditorCommand command, const EditorBillFacts& bill, const HeldRights& rights);

}  // namespace storeadjust
