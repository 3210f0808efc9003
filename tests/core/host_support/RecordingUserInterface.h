#pragma once
// A user interface for the host tests: records every message box and answers with a fixed
// reply; the dialogs and components answer "cancelled".
#include <string>
#include <vector>

#include "host/FormModel.h"
#include "host/UserInterface.h"

namespace storeadjust::hosttest {

struct ShownMessage {
  std::string text;
  int buttons = 0;
  std::string title;
};

class RecordingUserInterface : public UserInterface {
 public:
  int MsgBox(const std::string& text, int buttons, const std::string& title) override {
    messages.push_back({text, buttons, title});
    return reply;
  }
  void SetBusy(bool) override {}
  long ChooseRow(const std::string&, bool, adodb::Recordset&) override { return 0; }
  GoodsPlaceAnswer ShowGoodsPlaces(const GoodsPlaceRequest&) override { return {}; }
  void Print(const PrintRequest&) override {}
  void Reprint(const ReprintRequest&) override {}
  void ShowReport(const ReportRequest&) override {}
  void RunModal(FormModel& form) override { form.Close(); }

  std::vector<ShownMessage> messages;
  int reply = mb::kOk;
};

}  // namespace storeadjust::hosttest
