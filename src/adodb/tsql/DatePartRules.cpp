#include "adodb/tsql/DatePartRules.h"

#include "adodb/Error.h"
#include "adodb/TextCompare.h"
#include "adodb/tsql/DateParts.h"

namespace adodb::tsql {
namespace {

struct PartFunction {
  std::string_view name;
  const char* sqlite;
  std::size_t arguments;  // after the part
  const char* refusal;    // how a part it does not take is named
};

constexpr PartFunction kPartFunctions[] = {
    {"DATEADD", "tsql_dateadd", 2, "DATEADD by "},
    {"DATEDIFF", "tsql_datediff", 2, "DATEDIFF in "},
    {"DATEDIFF_BIG", "tsql_datediff_big", 2, "DATEDIFF_BIG in "},
    {"DATEPART", "tsql_datepart", 1, "DATEPART of "},
    {"DATENAME", "tsql_datename", 1, "DATENAME of "},
    {"DATETRUNC", "tsql_datetrunc", 1, "DATETRUNC to "},
};

const PartFunction* Find(std::string_view function) {
  for (const PartFunction& f : kPartFunctions)
    if (f.name.size() == function.size() && SameName(f.name, function)) return &f;
  return nullptr;
}

// One quoted text as written: 'a''b', not 'a' || 'b'.
bool IsTextLiteral(std::string_view text) {
  if (text.size() < 2 || text.front() != '\'' || text.back() != '\'') return false;
  for (std::size_t i = 1; i + 1 < text.size(); ++i)
    if (text[i] == '\'' && text[++i] != '\'') return false;
  return true;
}

}  // namespace

bool TakesDatePart(std::string_view function) { return Find(function) != nullptr; }

// ISO weeks only count in DATEPART, DATENAME and DATETRUNC: SQL Server itself refuses them in DATEADD
// and DATEDIFF, as it refuses weekday in DATETRUNC.
std::string RewriteDatePartCall(std::string_view function, std::string_view part, const std::vector<std::string>& args) {
  const PartFunction* f = Find(function);
  const std::optional<DatePart> p = DatePartNamed(part);
  const bool counted = (f->arguments == 1 || p != DatePart::IsoWeek) && !(f->name == "DATETRUNC" && p == DatePart::Weekday);
  if (!p || !counted) throw Error::Unsupported(std::string(f->refusal) + std::string(part) + " is not supported");
  if (args.size() != f->arguments)
    throw Error::Unsupported("function " + std::string(function) + "() with " + std::to_string(args.size() + 1) +
                             " arguments is not supported");
  std::string call = std::string(f->sqlite) + "('" + std::string(DatePartName(*p)) + "'";
  // DATEADD reads a text literal as a datetime, held in its 1/300 s ticks: '23:59:59.999' is the
  // next second. The other functions read text as datetime2, which keeps the milliseconds.
  for (const std::string& a : args) {
    const bool heldInTicks = f->name == "DATEADD" && &a == &args.back() && IsTextLiteral(a);
    call += ", " + (heldInTicks ? "tsql_datetime(" + a + ")" : a);
  }
  return call + ")";
}

}  // namespace adodb::tsql
