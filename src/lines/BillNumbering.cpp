#include "lines/BillNumbering.h"

#include <cstdio>
#include <limits>

#include "adodb/Error.h"
#include "adodb/TextCompare.h"
#include "host/DataHelpers.h"
#include "host/NumberHelpers.h"
#include "host/RequireOpened.h"
#include "host/SelectTemplates.h"

namespace storeadjust {

namespace {

constexpr const char* kRuleQuery = "select * from t_billnum where fid=75 and fused=1";
constexpr double kCounterOfNull = 1000;
// Stored bills a prepared serial passes over before the counter is taken as broken.
constexpr int kMostSerialsPassed = 1000;

std::string Digits(int value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", width, value);
  return text;
}

bool HasRuleRow(Session& session, std::shared_ptr<adodb::Recordset>& rule) {
  rule = RequireOpened(OpenRsReadOnly(session, kRuleQuery));
  return rule->RecordCount() >= 1;
}

// A digit count that does not fit the padding helper's range yields no running number at all,
// the same as any count outside 1..10.
std::int16_t DigitCount(const adodb::Variant& fnumdigit) {
  if (fnumdigit.IsNull()) return 1;
  const double digits = fnumdigit.AsDouble();
  if (digits < std::numeric_limits<std::int16_t>::min() || digits > std::numeric_limits<std::int16_t>::max()) return 0;
  return fnumdigit.AsInt16();
}

// `ahead`: how many running numbers past the counter's.
std::string SerialFromRule(Session& session, adodb::Recordset& rule, int ahead) {
  rule.MoveFirst();
  const std::string pattern = ReplaceDateTokens(rule.Value("fdteformat").TextOrEmpty(), session.SysDate);
  // A rule without a running number would give every bill the same serial, and the first line
  // saved would then overwrite the header of an earlier bill; it is refused instead.
  const adodb::Variant& maxNum = rule.Value("FmaxNum");
  if (maxNum.IsNull()) throw adodb::Error::InvalidUseOfNull();
  const std::string running = ahead == 0 ? maxNum.AsText() : adodb::FormatNumber(maxNum.AsDouble() + ahead);
  const std::string number = PadNumber(running, "0", DigitCount(rule.Value("Fnumdigit")));
  return adodb::UpperName(rule.Value("fprefix").TextOrEmpty()) + pattern + number;
}

std::string SerialFromOperatorCounter(Session& session, int ahead) {
  auto rs = RequireOpened(
      OpenRsReadOnly(session, "select dblsh from sys_dh where id =?", {adodb::BoundText(session.OptCode)}));
  if (rs->RecordCount() < 1) throw adodb::Error::BofOrEof();
  rs->MoveFirst();
  const adodb::Variant& dblsh = rs->Value("dblsh");
  const double running = (dblsh.IsNull() ? kCounterOfNull : dblsh.AsDouble()) + 1 + ahead;
  return adodb::UpperName(session.OptCode) + adodb::FormatNumber(running);
}

void ExecuteIgnoringErrors(Session& session, const std::string& sql, const adodb::BoundValues& values = {}) {
  try {
    if (session.Conn) session.Conn->Execute(sql, values);
  } catch (const std::exception&) {
    // A counter that could not move leaves the stored bill as it is; the next serial may repeat
    // and is caught when its header is written.
  }
}

}  // namespace

std::string ReplaceDateTokens(std::string pattern, const adodb::Date& date) {
  const std::string year = Digits(date.year, 4), month = Digits(date.month, 2), day = Digits(date.day, 2);
  pattern = ReplaceAll(std::move(pattern), "[日期]", year + month + day);
  pattern = ReplaceAll(std::move(pattern), "[年]", year);
  pattern = ReplaceAll(std::move(pattern), "[月]", month);
  return ReplaceAll(std::move(pattern), "[日]", day);
}

namespace {

std::string SerialAhead(Session& session, int ahead) {
  std::shared_ptr<adodb::Recordset> rule;
  const std::string serial =
      HasRuleRow(session, rule) ? SerialFromRule(session, *rule, ahead) : SerialFromOperatorCounter(session, ahead);
  rule->Close();
  return serial;
}

}  // namespace

std::string BuildNewSerial(Session& session) { return SerialAhead(session, 0); }

bool SerialStored(Session& session, const std::string& lsh) {
  return RequireOpened(OpenRsReadOnly(session, "select lsh from ckdbdzk where lsh=?", {adodb::BoundText(lsh)}))
             ->RecordCount() > 0;
}

// A new bill opened on a stored bill's serial would list that bill's lines and totals, and each
// command pressed on it would read or act on the other bill.
std::string PreparedSerial(Session& session) {
  std::string serial = SerialAhead(session, 0);
  for (int ahead = 1; SerialStored(session, serial); ++ahead) {
    const std::string next = SerialAhead(session, ahead);
    if (next == serial || ahead > kMostSerialsPassed) {
      throw adodb::Error::DuplicateKey("流水号 " + serial + " 已被另一张单据使用");
    }
    serial = next;
  }
  return serial;
}

void AdvanceSerialCounter(Session& session) {
  std::shared_ptr<adodb::Recordset> rule;
  try {
    if (!HasRuleRow(session, rule)) {
      // A NULL counter served as 1000 for the serial just used; it moves to 1001 like any other
      // counter would, or every later bill of the operator would get that serial again.
      ExecuteIgnoringErrors(session, "update sys_dh set dblsh =isnull(dblsh,1000)+1 where id=?",
                            {adodb::BoundText(session.OptCode)});
      return;
    }
  } catch (const std::exception&) {
    return;
  }
  ExecuteIgnoringErrors(session, "update t_billnum set fmaxnum = fmaxnum+1 where fid=75 and fused=1");
}

}  // namespace storeadjust
