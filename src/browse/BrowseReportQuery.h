#pragma once
// The browse report's query: every unposted bill's lines, one row per line (a bill without lines
// gives one row, its line columns empty), with the out-warehouse's name and the goods' facts, in
// serial order (a posted flag left NULL is not posted). A line's price is the one per the base
// unit the row shows. scopeFilter is the
// text of the operator's data-scope condition (GetDataScopeFilter), put in as it is; its values go
// with the query.
#include <string>

namespace storeadjust {

std::string BrowseReportQuery(const std::string& scopeFilter);

}  // namespace storeadjust
