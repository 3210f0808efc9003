#pragma once
// A bill's lines as stored, each with the in-warehouse goods places it receives onto: what a
// command or an amendment compares with what the clerk's screen read, inside its transaction.
#include <optional>
#include <string>
#include <vector>

#include "adodb/Connection.h"
#include "lines/BillLineValues.h"

namespace storeadjust {

// The lines of the bill that meet `stateCondition` (" and shbz=0" and the like: the program's
// own condition, never a value), in the query's order.
// With `asRead` (lines read before, by a screen or before a question), each line it holds is read
// with its places as that one was (placesRead), whatever the goods-place switch says now: what is
// compared with them then differs only where another clerk changed something.
std::vector<BillLineValues> ReadBillLines(adodb::Connection& connection, const std::string& lsh,
                                          const std::string& stateCondition,
                                          const std::vector<BillLineValues>* asRead = nullptr);

// Every line of the bill in one order whatever order the query gives: what a screen listing the
// bill shows, to compare with the stored lines when a command acts on it.
std::vector<BillLineValues> BillLinesAsListed(adodb::Connection& connection, const std::string& lsh,
                                              const std::vector<BillLineValues>* asRead = nullptr);

// One line of the bill; nothing when the bill has no line of that number. With `placesKept`, its
// place rows are read as a line read before was (`placesRead`), whatever the in-warehouse's
// goods-place switch says now: all of them, or none. A screen's line is compared with the stored
// one so, and a switch flipped since does not make an unchanged line another clerk's change.
std::optional<BillLineValues> ReadBillLine(adodb::Connection& connection, const std::string& lsh,
                                             const std::string& dh, std::optional<bool> placesKept = std::nullopt);

}  // namespace storeadjust
