#pragma once
// The bill editor: one transfer bill's header, its entry row, its lines grid and its goods
// information panel. Opened modally by the browser for a new bill (session.IsNewBill true,
// session.CurrentLSH empty) or for a stored serial, optionally view-only.
// (Skeleton: the editor's screen, numbering and loading land with the editor work.)
#include "host/FormModel.h"
#include "host/Session.h"

namespace storeadjust {

class FrmStoreAdjuctBill : public FormModel {
 public:
  explicit FrmStoreAdjuctBill(Session& session);

  bool IsViewOnly = false;  // set by the browser's view command: saving a line is refused

  void Click(const std::string& name) override;

 protected:
  void FormKeyDown(int& keyCode, int shift) override;

 private:
  Session& session_;
};

}  // namespace storeadjust
