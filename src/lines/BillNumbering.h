#pragma once
// Bill serials. A serial comes from the number rule (t_billnum row fid=75 and fused=1: prefix,
// date pattern and a zero-padded running number) or, when there is no rule, from the operator's
// own counter in sys_dh. Building a serial reserves nothing; the counter moves only when
// AdvanceSerialCounter runs, after a new bill's first line has been stored.
#include <string>

#include "adodb/Date.h"
#include "host/Session.h"

namespace storeadjust {

// The date pattern with "[日期]" (yyyymmdd), "[年]" (yyyy), "[月]" (mm) and "[日]" (dd) replaced,
// in that order, every occurrence; other text is kept as it is.
std::string ReplaceDateTokens(std::string pattern, const adodb::Date& date);

// The serial a new bill gets now, from the rule row (upper-cased prefix + date pattern of the
// session date + FmaxNum padded to Fnumdigit digits) or from the operator counter (upper-cased
// operator code + dblsh+1, a NULL dblsh counting as 1000). Throws adodb::Error when no serial
// can be built: no rule and no counter row for the operator, a rule whose FmaxNum is NULL, or a
// failed read (which the record-set opener has already shown).
std::string BuildNewSerial(Session& session);

// Whether a bill is stored under `lsh` (its header).
bool SerialStored(Session& session, const std::string& lsh);

// The serial a new bill is prepared under: BuildNewSerial's, or the first after it that no stored
// bill has (an administrator may have set the counter back, or a bill been imported under it), as
// the first line's save will take it. Nothing moves. Throws adodb::Error when none is free.
std::string PreparedSerial(Session& session);

// Moves the counter BuildNewSerial read: the rule's FmaxNum, or the operator's dblsh, by one.
// Errors are ignored: a bill already stored keeps its serial.
void AdvanceSerialCounter(Session& session);

}  // namespace storeadjust
