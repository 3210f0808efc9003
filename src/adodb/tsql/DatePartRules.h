#pragma once
// DATEADD(part, number, date), DATEDIFF[_BIG](part, start, end), DATEPART(part, date) and
// DATENAME(part, date): the part is a bare word in any of SQL Server's spellings, the other
// arguments arrive already translated. Each becomes a call of its tsql_ function (DateFunctions.h)
// with the part's full name. A part the function does not take throws adodb::Error::Unsupported.
#include <string>
#include <string_view>
#include <vector>

namespace adodb::tsql {

// True for the functions whose first argument is a date part.
bool TakesDatePart(std::string_view function);

std::string RewriteDatePartCall(std::string_view function, std::string_view part, const std::vector<std::string>& args);

}  // namespace adodb::tsql
