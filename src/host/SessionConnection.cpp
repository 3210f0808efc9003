#include "host/SessionConnection.h"

#include <memory>

namespace storeadjust {

void OpenSessionConnection(Session& session) {
  session.Conn = std::make_shared<adodb::Connection>();
  session.Conn->Open(session.ConnStr, "", "", -1);
  if (session.Conn->State() != adodb::adStateOpen || session.Ui == nullptr) return;
  UserInterface& ui = *session.Ui;
  session.Conn->WatchLockWaits([&ui](adodb::LockWait stage, long waitedMs) {
    ui.ShowWaitStatus(stage == adodb::LockWait::Ended ? std::string() : LockWaitText(waitedMs));
  });
}

std::string LockWaitText(long waitedMs) {
  std::string text = "数据库正被其他操作员占用，正在等候…";
  if (waitedMs >= 2000) text += "（已等候" + std::to_string(waitedMs / 1000) + "秒）";
  return text;
}

}  // namespace storeadjust
