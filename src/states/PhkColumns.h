#pragma once
// The batch-stock columns copied along when a batch row is created in the other warehouse: the
// columns of phk other than the ones the stock movements write themselves.
#include <string>
#include <vector>

namespace storeadjust {

// The names not in the excluded set (compared upper-cased), in the given order and letter case,
// joined by ","; empty when none is left.
std::string PhkColumnListOf(const std::vector<std::string>& columnNames);

// The list for the phk table of the database, read (its column set only) through a connection
// of its own. Failures throw adodb::Error.
std::string ReadPhkColumnList(const std::string& connectionString);

}  // namespace storeadjust
