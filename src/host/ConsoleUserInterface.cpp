#include "host/ConsoleUserInterface.h"

#include <iostream>

#include "host/FormModel.h"
#include "host/QvGrid.h"

namespace storeadjust {

ConsoleUserInterface::ConsoleUserInterface() : out_(std::cerr) {}

int ConsoleUserInterface::MsgBox(const std::string& text, int buttons, const std::string& title) {
  out_ << "[" << title << "] " << text << "\n";
  if ((buttons & 7) != mb::kYesNo) return mb::kOk;
  return (buttons & mb::kDefaultButton2) ? mb::kNo : mb::kYes;
}

long ConsoleUserInterface::ChooseRow(const SelectionRequest& request, adodb::Recordset& rows) {
  out_ << "[请选择" << request.subject.what << "] " << rows.RecordCount() << " rows of: " << request.query
       << " (cancelled)\n";
  return 0;
}

GoodsPlaceAnswer ConsoleUserInterface::ShowGoodsPlaces(const GoodsPlaceRequest& request) {
  out_ << "[goods places] bill " << request.billSerial << " line " << request.lineKey << " (cancelled)\n";
  return {};
}

void ConsoleUserInterface::ShowWaitStatus(const std::string& text) {
  if (!text.empty()) out_ << "[等候] " << text << "\n" << std::flush;
}

void ConsoleUserInterface::Print(const PrintRequest& request) { out_ << "[print] " << request.serials << "\n"; }

void ConsoleUserInterface::Reprint(const ReprintRequest& request) {
  out_ << "[reprint] operator " << request.operatorCode << "\n";
}

void ConsoleUserInterface::RunReportCommand(QvGrid& grid, int command) {
  out_ << "[report] " << grid.ReportName() << ": command " << command << " (no screen)\n";
}

void ConsoleUserInterface::NoteReportLoaded(const QvGrid& grid) {
  out_ << "[report] " << grid.ReportName() << ": " << grid.LoadedRowCount() << " rows\n";
}

}  // namespace storeadjust

namespace storeadjust {

void ConsoleUserInterface::RunModal(FormModel& form) {
  out_ << "[window] " << form.Caption << " (no screen: closed)\n";
  form.Close();
}

}  // namespace storeadjust
