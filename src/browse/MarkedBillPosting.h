#pragma once
// Posting the bills a user marked in the browser: each serial is posted as the editor posts one
// bill (its posted flag set, only while the bill is audited), all of them in one transaction on
// the session connection, so a failure half-way posts none.
#include <string>
#include <vector>

#include "host/Session.h"

namespace storeadjust {

// The serials, in the order given, whose statement changed no row (not audited, or gone).
// Throws adodb::Error after rolling everything back.
std::vector<std::string> PostMarkedBills(Session& session, const std::vector<std::string>& serials);

// "流水号为:A,B的单据记帐不成功,可能的原因是单据还没有审核!"
std::string NotPostedMessage(const std::vector<std::string>& serials);

}  // namespace storeadjust
