#pragma once
// Operator rights and data scope (the classic Module1). A right is a name in one of the three
// comma-separated lists of a RightModel row; the operator holds it when the value at the same
// position of the operator's own rights row, or of any of the operator's groups' rows, is 1.
// Every value is bound as a ? mark, so an operator code or Guid holding a quote can neither break
// a statement nor widen a right.
//
// Errors are trapped where the module always trapped them: the description is shown (64,
// "系统提示"; "系统提示1" for FindRightPosition) and the function answers "no right" / empty text.
// GetDataScopeFilter traps nothing: a failure reaches the caller as adodb::Error.
#include <string>
#include <vector>

#include "adodb/Connection.h"
#include "host/BoundSql.h"
#include "host/Session.h"

namespace storeadjust {

// The message and box of a refused command.
inline constexpr const char* kNoRightMessage = "对不起，你没有此权限！";

// True when the operator holds rightName in the right model modelGuid. With byCode the operator
// is an operator code, otherwise an operator Guid. The model's lists are read through a
// connection opened from connectionString.
bool HasRight(Session& session, const std::string& modelGuid, bool byCode, const std::string& operatorId,
              const std::string& rightName, const std::string& connectionString);

// "RightValueN,i" for the first list N (1..3) whose element i equals rightName exactly; empty
// text when no list holds it.
std::string FindRightPosition(Session& session, const std::vector<std::string>& list1,
                              const std::vector<std::string>& list2, const std::vector<std::string>& list3,
                              const std::string& rightName);

// True when the value at index of column (RightValue1..3) is 1 in the operator's own rights row
// or in the row of any group the operator belongs to.
bool CheckRightValue(Session& session, const std::string& column, int index, const std::string& operatorGuid,
                     const std::string& modelGuid, const std::string& connectionString);

// "对不起，你没有此权限！" (48, "系统提示").
void ShowNoRightMsg(Session& session);

// Whether the signed-in operator holds the module's right `rightName` (HasRight by his code); when
// he does not, he is told so (ShowNoRightMsg) before the command that asked stops.
bool HoldsModuleRight(Session& session, const std::string& rightName);

// Whether the signed-in operator holds the module's right `rightName` as stored now, read on
// `connection`: a command reads it inside its own transaction, after its questions, so that a right
// the administrator took away while the clerk's screen was open, or while he answered, no longer
// lets the command write. The same rule as HasRight (own row or any group), in two statements.
// Nothing is shown: a read that fails, or a granted value that is no number, throws adodb::Error.
bool HoldsRightNow(adodb::Connection& connection, const Session& session, const std::string& rightName);

// Two characters, "查看所有用户" then "查看本组用户", each "1" or "0"; empty text when the session
// has no right model or the model defines no data-scope rights. The caller stores the result
// in Session::DataScopeFlags.
std::string GetDataScopeFlags(Session& session);

// The condition on the bills' maker column czry that Session::DataScopeFlags imposes: empty
// text, the operator's own bills and those of every member of his groups, or his own bills only;
// the operator's name (and Guid) are the values of its ? marks.
BoundSql GetDataScopeFilter(Session& session);

}  // namespace storeadjust
