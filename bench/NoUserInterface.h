#pragma once
// A user interface for benchmarks that drive screens and engines without anyone at the screen:
// any message box is a failure of the run, every other component answers nothing.
#include <stdexcept>
#include <string>

#include "adodb/Recordset.h"
#include "host/UserInterface.h"

namespace benchsupport {

class NoUserInterface : public storeadjust::UserInterface {
 public:
  int MsgBox(const std::string& text, int, const std::string&) override {
    throw std::runtime_error("unexpected message: " + text);
  }
  void SetBusy(bool) override {}
  long ChooseRow(const storeadjust::SelectionRequest&, adodb::Recordset&) override { return 0; }
  storeadjust::GoodsPlaceAnswer ShowGoodsPlaces(const storeadjust::GoodsPlaceRequest&) override { return {}; }
  void Print(const storeadjust::PrintRequest&) override {}
  void Reprint(const storeadjust::ReprintRequest&) override {}
  void RunReportCommand(storeadjust::QvGrid&, int) override {}
  void RunModal(storeadjust::FormModel&) override {}
};

}  // namespace benchsupport
