#pragma once
// Deleting a whole bill from the browser: its header, its lines and its goods-place rows go
// together in one transaction on the session connection, and only while the bill is still
// unaudited (shbz 0). Goods-place rows are removed with the bill because a later bill that is
// given the same serial would otherwise inherit them and book them again.
//
// Errors are trapped here: the description is shown (48, "系统提示"), the transaction is rolled
// back, and the result says the deletion failed. Never throws adodb::Error.
#include <string>

#include "host/Session.h"

namespace storeadjust {

enum class BillDeletionResult {
  Deleted,   // header, lines and goods places are gone
  Audited,   // the bill exists but is audited: nothing was changed
  NotFound,  // no such bill (deleted meanwhile): nothing to do
  Failed,    // an error was shown and everything rolled back
};

BillDeletionResult DeleteBill(Session& session, const std::string& lsh);

}  // namespace storeadjust
