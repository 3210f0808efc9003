#pragma once
// What a state command decides on, read twice: once before its question, with no transaction
// open, and again as the first thing inside its transaction, the header under an update lock so a
// second command on the same bill waits there until the first has committed or rolled back. The
// command acts only when both reads agree.
#include <string>
#include <vector>

#include "adodb/Connection.h"
#include "lines/BillHeaderState.h"
#include "lines/StoredBillLines.h"

namespace storeadjust {

struct BillSnapshot {
  BillHeaderState header;
  // The selected lines' values that the command moves, sorted: the query has no order of its own,
  // and a server may return the same rows in another.
  std::vector<BillLineValues> lines;
  bool operator==(const BillSnapshot&) const = default;
};

// The header (`locked`: under an update lock, see ReadBillHeader) and the lines the command selects.
BillSnapshot ReadBillSnapshot(adodb::Connection& connection, const std::string& lsh, const std::string& stateCondition,
                              bool locked);
// The same from lines already read, which the command then walks: inside its transaction the
// lines it moves are the very lines it compared, read once.
BillSnapshot SnapshotOf(const BillHeaderState& header, std::vector<BillLineValues> lines);

// What the clerk is told when the bill's lines are not those his screen lists or he was asked about.
inline constexpr const char* kBillLinesChanged = "本单据的明细已被他人修改，本次操作未做任何改变，请重新操作！";


// The bill's state in words, as the clerk knows it: "未审核", "已审核", "已确认", "已记帐", or
// "已删除" when the header is gone; in one step, "已出库" for a bill a two-step audit issued.
std::string BillStateName(const BillHeaderState& header, bool twoStep);

}  // namespace storeadjust
