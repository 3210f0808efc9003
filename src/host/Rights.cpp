#include "host/Rights.h"

#include <exception>
#include <memory>
#include <optional>

#include "adodb/Error.h"
#include "adodb/ResultSet.h"
#include "adodb/Variant.h"
#include "host/DataHelpers.h"
#include "host/ErrorText.h"
#include "host/MessageTitles.h"
#include "host/RequireOpened.h"

namespace storeadjust {

namespace {

constexpr const char* kSeeAllOperators = "查看所有用户";
constexpr const char* kSeeOwnGroups = "查看本组用户";

// The classic Split: empty text gives an empty list, otherwise every piece between commas.
std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> pieces;
  if (text.empty()) return pieces;
  std::string::size_type start = 0;
  for (;;) {
    const auto comma = text.find(',', start);
    pieces.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) return pieces;
    start = comma + 1;
  }
}

// The element at a 0-based index; a list too short for the right's position is an error, as
// indexing past the end of an array always was.
// A granted value converts to the integer 1; a value that is not a number is an error. A list
// that stops before the right's position (written before the right model grew) grants nothing,
// and the operator's groups are asked as for any right not held.
bool IsGranted(const std::vector<std::string>& values, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= values.size()) return false;
  return adodb::Variant(values[static_cast<std::size_t>(index)]).AsInt32() == 1;
}

void ShowTrapped(Session& session, const std::exception& error, const char* title) {
  session.Ui->MsgBox(ErrorText(error), mb::kInformation, title);
}

int FindInList(const std::vector<std::string>& list, const std::string& rightName) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] == rightName) return static_cast<int>(i);
  }
  return -1;
}

// Where the right model keeps a right's value: the column (RightValue1 to 3, after the list of
// names that holds it) and the position in its comma list; none when no list names the right.
struct RightSlot {
  std::string column;
  int index;
};

std::optional<RightSlot> RightSlotOf(const std::vector<std::string>& list1, const std::vector<std::string>& list2,
                                     const std::vector<std::string>& list3, const std::string& rightName) {
  const std::vector<std::string>* lists[] = {&list1, &list2, &list3};
  for (int n = 0; n < 3; ++n) {
    const int index = FindInList(*lists[n], rightName);
    if (index >= 0) return RightSlot{"RightValue" + std::to_string(n + 1), index};
  }
  return std::nullopt;
}

std::string OperatorGuidByCode(Session& session, const std::string& operatorCode) {
  return GetFieldValue(session, "Select guid from operators where code=?", "guid", {adodb::BoundText(operatorCode)})
      .TextOrEmpty();
}

// The group rows are asked in two spellings, depending on whether the own row had a value.
struct GroupStatements {
  std::string members;   // one mark: the operator Guid
  std::string groupRow;  // two marks: the group Guid, the model Guid
};

GroupStatements GroupStatementsFor(bool ownRowHadValue, const std::string& column) {
  if (ownRowHadValue) {
    return {"Select GroupGuid from operatorGroupMember where OperatorGuid=?",
            "Select " + column + " from RightGroup where operatorGroupGuid=? and RightModelGuid=?"};
  }
  return {"select GroupGuid from operatorGroupMember where operatorGuid=?",
          "Select " + column + " from RightGroup where OperatorGroupGuid=? and RightModelGuid=?"};
}

bool AnyGroupGrants(Session& session, const GroupStatements& statements, const std::string& column, int index,
                    const std::string& operatorGuid, const std::string& modelGuid,
                    const std::string& connectionString) {
  const auto groupSet = RequireOpened(
      OpenRsWithConnStr(session, statements.members, connectionString, {adodb::BoundText(operatorGuid)}));
  adodb::Recordset& groups = *groupSet;
  if (groups.RecordCount() < 1) return false;
  for (groups.MoveFirst(); !groups.EOF(); groups.MoveNext()) {
    const std::string groupGuid = groups.Value("GroupGuid").TextOrEmpty();
    const adodb::Variant value = GetFieldValue(session, statements.groupRow, column,
                                               {adodb::BoundText(groupGuid), adodb::BoundText(modelGuid)});
    if (value.IsNull() || value.TextOrEmpty().empty()) continue;
    if (IsGranted(SplitList(value.TextOrEmpty()), index)) return true;
  }
  return false;
}

}  // namespace

bool HasRight(Session& session, const std::string& modelGuid, bool byCode, const std::string& operatorId,
              const std::string& rightName, const std::string& connectionString) {
  try {
    const std::string operatorGuid = byCode ? OperatorGuidByCode(session, operatorId) : operatorId;
    const auto modelSet = RequireOpened(OpenRsWithConnStr(
        session,
        "Select IsNull(RightInfo1,'') RightInfo1,IsNull(RightInfo2,'') RightInfo2,IsNull(RightInfo3,'') RightInfo3 "
        "from RightModel where guid=?",
        connectionString, {adodb::BoundText(modelGuid)}));
    adodb::Recordset& model = *modelSet;
    if (model.RecordCount() < 1) return false;
    model.MoveFirst();
    const std::string info1 = model.Value("RightInfo1").TextOrEmpty();
    const std::string info2 = model.Value("RightInfo2").TextOrEmpty();
    const std::string info3 = model.Value("RightInfo3").TextOrEmpty();
    model.Close();

    const std::string position =
        FindRightPosition(session, SplitList(info1), SplitList(info2), SplitList(info3), rightName);
    if ((info1 + info2 + info3).find(rightName) == std::string::npos) return false;
    if (position.empty()) return false;

    const auto comma = position.find(',');
    const std::string column = position.substr(0, comma);
    const int index = adodb::Variant(position.substr(comma + 1)).AsInt32();
    return CheckRightValue(session, column, index, operatorGuid, modelGuid, connectionString);
  } catch (const std::exception& error) {
    ShowTrapped(session, error, kSystemTitle);
    return false;
  }
}

std::string FindRightPosition(Session& session, const std::vector<std::string>& list1,
                              const std::vector<std::string>& list2, const std::vector<std::string>& list3,
                              const std::string& rightName) {
  try {
    const std::optional<RightSlot> slot = RightSlotOf(list1, list2, list3, rightName);
    return slot ? slot->column + "," + std::to_string(slot->index) : std::string();
  } catch (const std::exception& error) {
    ShowTrapped(session, error, "系统提示1");
    return {};
  }
}

bool CheckRightValue(Session& session, const std::string& column, int index, const std::string& operatorGuid,
                     const std::string& modelGuid, const std::string& connectionString) {
  try {
    const std::string own =
        GetFieldValue(session, "Select " + column + " from rights where RightModelGuid=? and operatorGuid=?", column,
                      {adodb::BoundText(modelGuid), adodb::BoundText(operatorGuid)})
            .TextOrEmpty();
    if (!own.empty() && IsGranted(SplitList(own), index)) return true;
    return AnyGroupGrants(session, GroupStatementsFor(!own.empty(), column), column, index, operatorGuid, modelGuid,
                          connectionString);
  } catch (const std::exception& error) {
    ShowTrapped(session, error, kSystemTitle);
    return false;
  }
}

void ShowNoRightMsg(Session& session) { session.Ui->MsgBox(kNoRightMessage, mb::kExclamation, kSystemTitle); }

bool HoldsModuleRight(Session& session, const std::string& rightName) {
  if (HasRight(session, session.ModuleRightGuid, true, session.OptCode, rightName, session.ConnStr)) return true;
  ShowNoRightMsg(session);
  return false;
}

bool HoldsRightNow(adodb::Connection& connection, const Session& session, const std::string& rightName) {
  const adodb::ResultSet model = connection.GetBackend().Query(
      "Select IsNull(RightInfo1,''),IsNull(RightInfo2,''),IsNull(RightInfo3,'') from RightModel where guid=?",
      {adodb::BoundText(session.ModuleRightGuid)});
  if (model.rows.empty() || model.columns.size() < 3) return false;
  const auto names = [&model](std::size_t n) { return SplitList(model.rows[0][n].TextOrEmpty()); };
  const std::optional<RightSlot> slot = RightSlotOf(names(0), names(1), names(2), rightName);
  if (!slot) return false;
  // The operator's own row, then his groups' rows: a 1 in any of them grants the right.
  const adodb::ResultSet values = connection.GetBackend().Query(
      "Select r." + slot->column + " from operators o inner join rights r on r.operatorGuid=o.guid and "
      "r.RightModelGuid=? where o.code=? union all Select g." + slot->column + " from operators o inner join operatorGroupMember m on "
      "m.OperatorGuid=o.guid inner join RightGroup g on g.OperatorGroupGuid=m.GroupGuid and g.RightModelGuid=? "
      "where o.code=?",
      {adodb::BoundText(session.ModuleRightGuid), adodb::BoundText(session.OptCode),
       adodb::BoundText(session.ModuleRightGuid), adodb::BoundText(session.OptCode)});
  for (const adodb::Row row : values.rows) {
    if (row[0].IsNull()) continue;
    if (IsGranted(SplitList(row[0].TextOrEmpty()), slot->index)) return true;
  }
  return false;
}

std::string GetDataScopeFlags(Session& session) {
  try {
    if (session.ModuleRightGuid.empty()) return {};
    const std::string scopedModel =
        GetFieldValue(session,
                      "Select guid from rightModel where isnull(rightInfo1,'') + isnull(rightInfo2,'') + "
                      "isnull(rightInfo3,'') + isnull(rightInfo4,'') + isnull(rightinfo5,'') like '%查看所有用户%' "
                      "And Guid=?",
                      "Guid", {adodb::BoundText(session.ModuleRightGuid)})
            .TextOrEmpty();
    if (scopedModel.empty()) return {};
    const auto flag = [&session](const char* rightName) {
      return HasRight(session, session.ModuleRightGuid, false, session.OptGuid, rightName, session.ConnStr) ? "1"
                                                                                                            : "0";
    };
    return std::string(flag(kSeeAllOperators)) + flag(kSeeOwnGroups);
  } catch (const std::exception& error) {
    ShowTrapped(session, error, kSystemTitle);
    return {};
  }
}

// The group scope takes the operator's own bills too: an operator in no group would otherwise see
// none of his bills, not even the one he has just saved, where without the right he sees his own.
BoundSql GetDataScopeFilter(Session& session) {
  const std::string& flags = session.DataScopeFlags;
  if (flags.empty() || flags[0] == '1') return {};
  const std::string name =
      GetFieldValue(session, "select name from operators where guid=?", "name", {adodb::BoundText(session.OptGuid)})
          .TextOrEmpty();
  if (flags.size() > 1 && flags[1] == '1') {
    return {" and (czry=? or czry In (Select Distinct b.name From OperatorGroupMember a inner join operators b on "
            "a.operatorguid=b.guid Where a.GroupGuid In (Select a.GroupGuid from OperatorGroupMember a inner join "
            "operators b on a.operatorguid=b.guid Where a.OperatorGuid=?)))",
            {adodb::BoundText(name), adodb::BoundText(session.OptGuid)}};
  }
  return {" and (czry=?)", {adodb::BoundText(name)}};
}

}  // namespace storeadjust
