#pragma once
// The selection dialog: runs a query on a connection of its own (opened from the connection
// string, so it never sees the session's transaction), lets the user take one row, and hands
// that row back as the classic result array:
//   element 0   > 0 when a row was taken (the row's 1-based number), 0 when none was;
//   element 1.. the taken row's columns in the order of the query's select list (Empty when
//               no row was taken, so a caller that skips the test of element 0 reads blanks).
// Choices: with the mode flag false a query of exactly one row gives that row without showing
// anything; a query of no row shows nothing and gives no choice; otherwise, and always with the
// mode flag true (the batch choice, which the user must confirm), UserInterface::ChooseRow asks.
// Failures (a refused connection string, a refused query) throw adodb::Error to the caller.
#include <memory>
#include <string>
#include <vector>

#include "adodb/BoundValues.h"
#include "adodb/Connection.h"
#include "adodb/Variant.h"
#include "host/Session.h"
#include "host/UserInterface.h"

namespace storeadjust {

class SelectDialog {
 public:
  explicit SelectDialog(UserInterface& ui) : ui_(ui) {}
  SelectDialog(const SelectDialog&) = delete;
  SelectDialog& operator=(const SelectDialog&) = delete;

  std::string ConnectionString;
  // When set and open, the query runs on it instead of a connection opened for this dialog.
  std::shared_ptr<adodb::Connection> Connection;
  std::string Query;
  adodb::BoundValues Values;  // of the query's ? marks, in order
  bool ModeFlag = false;
  SelectionSubject Subject;  // what is chosen: the dialog's title and kept size, the batches' bill date

  // Runs the query and, where the choice needs the user, asks; returns when a row was taken
  // or the user cancelled.
  void Show();
  const std::vector<adodb::Variant>& Result() const { return result_; }
  // How many rows the query listed (0 tells "nothing matched" from "the user took nothing").
  long RowsListed() const { return rowsListed_; }

 private:
  UserInterface& ui_;
  std::vector<adodb::Variant> result_{adodb::Variant(0)};
  long rowsListed_ = 0;
};

// Drives one SelectDialog with the session's user interface, on the session's list connection
// (opened from its connection string when there is none yet). rowsListed, when given, receives
// the number of rows the query listed. values are those of the query's ? marks.
std::vector<adodb::Variant> SelectFromList(Session& session, const std::string& query, bool modeFlag,
                                           const SelectionSubject& subject, long* rowsListed = nullptr,
                                           const adodb::BoundValues& values = {});

}  // namespace storeadjust
