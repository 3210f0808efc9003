#pragma once
// Deleting a whole bill from the browser: its header, its lines and its goods-place rows go
// together in one transaction on the session connection, and only while the bill is still
// unaudited (shbz 0) and its approval flow does not hold it (the data-scope component's
// IsBillEditable, asked before the transaction and again inside it: the component reads on its own
// connection what was approved meanwhile). Goods-place rows are removed with the bill because a
// later bill that is given the same serial would otherwise inherit them and book them again.
//
// A failure throws adodb::Error carrying the database's description, after the transaction has
// been rolled back, so the whole bill stays; the caller shows it. A record-set opener that fails
// has shown its own message and then throws the "object not set" error, as any use of the
// missing set would.
#include <string>
#include <vector>

#include "host/Session.h"
#include "lines/BillLineValues.h"

namespace storeadjust {

enum class BillDeletionResult {
  Deleted,   // header, lines and goods places are gone
  Audited,   // the bill exists but is audited: nothing was changed
  HeldByApproval,  // its approval is pending or granted: nothing was changed
  NotFound,  // no such bill (deleted meanwhile): nothing to do
  NoRight,   // the operator no longer holds 删除 (taken away while he was asked): nothing changed
  LinesChanged,  // its lines are no longer those `shownLines` holds: nothing was changed
};

// `shownLines`: the bill's lines as the clerk's screen last read them, sorted (BillLinesAsListed).
// Given, the bill goes only with those lines, compared inside the transaction: a line another
// clerk added, changed or deleted since is not thrown away with a bill the clerk chose without it.
BillDeletionResult DeleteBill(Session& session, const std::string& lsh,
                              const std::vector<BillLineValues>* shownLines = nullptr);

}  // namespace storeadjust
