#include "host/HeldRights.h"

#include "host/Rights.h"

namespace storeadjust {

namespace {

// The session's interface with message boxes kept back while the rights are read.
class WithoutMessages : public UserInterface {
 public:
  explicit WithoutMessages(UserInterface& inner) : inner_(inner) {}
  int MsgBox(const std::string&, int, const std::string&) override { return mb::kNo; }
  void SetBusy(bool busy) override { inner_.SetBusy(busy); }
  void ShowWaitStatus(const std::string& text) override { inner_.ShowWaitStatus(text); }
  long ChooseRow(const SelectionRequest& request, adodb::Recordset& rows) override {
    return inner_.ChooseRow(request, rows);
  }
  GoodsPlaceAnswer ShowGoodsPlaces(const GoodsPlaceRequest& request) override { return inner_.ShowGoodsPlaces(request); }
  void Print(const PrintRequest& request) override { inner_.Print(request); }
  void Reprint(const ReprintRequest& request) override { inner_.Reprint(request); }
  void RunReportCommand(QvGrid& grid, int command) override { inner_.RunReportCommand(grid, command); }
  void RunModal(FormModel& form) override { inner_.RunModal(form); }

 private:
  UserInterface& inner_;
};

class InterfaceSwap {
 public:
  InterfaceSwap(Session& session, UserInterface& replacement) : session_(session), saved_(session.Ui) {
    session_.Ui = &replacement;
  }
  ~InterfaceSwap() { session_.Ui = saved_; }
  InterfaceSwap(const InterfaceSwap&) = delete;
  InterfaceSwap& operator=(const InterfaceSwap&) = delete;

 private:
  Session& session_;
  UserInterface* saved_;
};

}  // namespace

HeldRights HeldRights::Read(Session& session, const std::vector<std::string>& rightNames) {
  HeldRights rights;
  if (session.Ui == nullptr) return rights;
  WithoutMessages quiet(*session.Ui);
  InterfaceSwap swap(session, quiet);
  std::set<std::string> asked;
  for (const std::string& name : rightNames) {
    if (!asked.insert(name).second) continue;
    if (HasRight(session, session.ModuleRightGuid, true, session.OptCode, name, session.ConnStr)) {
      rights.held_.insert(name);
    }
  }
  return rights;
}

std::string HeldRights::Missing(const std::string& rightName) const {
  return Holds(rightName) ? std::string() : "没有" + rightName + "权限";
}

}  // namespace storeadjust
