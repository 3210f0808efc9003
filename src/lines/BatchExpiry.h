#pragma once
// How a batch stands to its expiry (xq) on the bill's date. A batch that expired before the bill
// date leaves only on the clerk's word; one that expires within kNearExpiryDays of it is marked,
// so the clerk sends it first, or knowingly not. The batch dialog shows both; the quantity step
// asks before taking an expired batch.
#include <cstddef>
#include <optional>
#include <string>

#include "adodb/Date.h"
#include "adodb/Variant.h"
#include "host/Session.h"

namespace adodb {
class Recordset;
}

namespace storeadjust {

inline constexpr long kNearExpiryDays = 30;

struct BatchExpiry {
  enum class State { Unknown, Fresh, Near, Expired };
  State state = State::Unknown;  // Unknown: the batch records no readable expiry
  long days = 0;                 // Expired: days past the expiry; Near: days left (0: expires that day)
};

// The expiry as a day; nothing for NULL, empty or text that names no date.
std::optional<adodb::Date> ExpiryDay(const adodb::Variant& value);
BatchExpiry JudgeExpiry(const adodb::Variant& expiry, const adodb::Date& billDate);
// What the batch dialog writes beside a marked batch: "已过期 N 天", "N 天后到期", "今天到期";
// empty text for a fresh batch or one without an expiry.
std::string ExpiryNote(const BatchExpiry& expiry);

// The column of a batch list that holds the expiry: 效期 (the built-in list) or xq in any letter
// case (the batch column a list template shows); nothing when the list shows none.
std::optional<std::size_t> ExpiryColumn(const adodb::Recordset& rows);

// phk.xq of batch ph / line dh of the goods in the warehouse: read from the batch itself, so a
// list template that leaves the expiry out still cannot hide it. Empty when there is no such row.
adodb::Variant BatchExpiryDate(Session& session, const std::string& hh, const std::string& warehouse,
                               const std::string& ph, const std::string& dh);

}  // namespace storeadjust
