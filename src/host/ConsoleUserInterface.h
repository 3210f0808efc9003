#pragma once
// A user interface for running without a desktop: message boxes and component calls are written
// to a stream (stderr by default) and answered without asking: OK for a plain box, the default
// button for a question (No when the second button is the default, otherwise Yes), "cancelled"
// for the selection and goods-place dialogs. A modal form is announced and closed at once:
// there is no screen to run it on. The desktop replaces it with its own implementation.
#include <iosfwd>

#include "host/UserInterface.h"

namespace storeadjust {

class ConsoleUserInterface : public UserInterface {
 public:
  ConsoleUserInterface();
  explicit ConsoleUserInterface(std::ostream& out) : out_(out) {}

  int MsgBox(const std::string& text, int buttons, const std::string& title) override;
  void SetBusy(bool) override {}
  void ShowWaitStatus(const std::string& text) override;
  long ChooseRow(const SelectionRequest& request, adodb::Recordset& rows) override;
  GoodsPlaceAnswer ShowGoodsPlaces(const GoodsPlaceRequest& request) override;
  void Print(const PrintRequest& request) override;
  void Reprint(const ReprintRequest& request) override;
  void RunReportCommand(QvGrid& grid, int command) override;
  void NoteReportLoaded(const QvGrid& grid) override;
  void RunModal(FormModel& form) override;

 private:
  std::ostream& out_;
};

}  // namespace storeadjust
