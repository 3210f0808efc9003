#include "host/SelectDialog.h"

#include <memory>

#include "adodb/Connection.h"
#include "adodb/Recordset.h"

namespace storeadjust {

namespace {

// Element 0 and one Empty element per column: the answer when no row is taken.
std::vector<adodb::Variant> NoChoice(std::size_t columnCount) {
  std::vector<adodb::Variant> result(columnCount + 1);
  result[0] = adodb::Variant(0);
  return result;
}

std::vector<adodb::Variant> ChosenRow(adodb::Recordset& rows, long rowNumber) {
  rows.SetAbsolutePosition(rowNumber);
  std::vector<adodb::Variant> result;
  result.reserve(rows.FieldCount() + 1);
  result.emplace_back(rowNumber);
  for (std::size_t i = 0; i < rows.FieldCount(); ++i) result.push_back(rows.Value(i));
  return result;
}

// The first row whose leading columns read the held texts (blanks a char column pads with
// ignored); 0 when none does. Leaves the set on its first row.
long HeldRowPosition(adodb::Recordset& rows, const std::vector<std::string>& held) {
  if (held.empty() || held.size() > rows.FieldCount()) return 0;
  const auto trimmed = [](std::string text) { return text.erase(text.find_last_not_of(' ') + 1); };
  long found = 0;
  long position = 1;
  for (rows.MoveFirst(); found == 0 && !rows.EOF(); rows.MoveNext(), ++position) {
    bool same = true;
    for (std::size_t i = 0; same && i < held.size(); ++i) same = trimmed(rows.Value(i).TextOrEmpty()) == trimmed(held[i]);
    if (same) found = position;
  }
  rows.MoveFirst();
  return found;
}

}  // namespace

void SelectDialog::Show() {
  const bool ownConnection = !Connection || Connection->State() != adodb::adStateOpen;
  std::shared_ptr<adodb::Connection> connection = ownConnection ? std::make_shared<adodb::Connection>() : Connection;
  if (ownConnection) connection->Open(ConnectionString);
  auto rows = connection->OpenRecordset(Query, Values);
  const long count = rows->RecordCount();
  rowsListed_ = count;
  long taken = 0;
  SelectionRequest request{Query, ModeFlag, Subject};
  if (count == 0 || (count == 1 && !ModeFlag)) {
    taken = count;
    ui_.NoteSelectionNotShown(request, count);
  } else {
    request.heldRowPosition = HeldRowPosition(*rows, Subject.heldRow);
    rows->MoveFirst();
    taken = ui_.ChooseRow(request, *rows);
    if (taken < 0 || taken > count) taken = 0;
  }
  result_ = taken > 0 ? ChosenRow(*rows, taken) : NoChoice(rows->FieldCount());
  rows->Close();
  if (ownConnection) connection->Close();
}

std::vector<adodb::Variant> SelectFromList(Session& session, const std::string& query, bool modeFlag,
                                           const SelectionSubject& subject, long* rowsListed,
                                           const adodb::BoundValues& values) {
  if (!session.ListConn || session.ListConn->State() != adodb::adStateOpen ||
      session.ListConn->ConnectionString() != session.ConnStr) {
    auto connection = std::make_shared<adodb::Connection>();
    connection->Open(session.ConnStr);
    session.ListConn = std::move(connection);
  }
  SelectDialog dialog(*session.Ui);
  dialog.ConnectionString = session.ConnStr;
  dialog.Connection = session.ListConn;
  dialog.Query = query;
  dialog.Values = values;
  dialog.ModeFlag = modeFlag;
  dialog.Subject = subject;
  dialog.Show();
  if (rowsListed) *rowsListed = dialog.RowsListed();
  return dialog.Result();
}

}  // namespace storeadjust
