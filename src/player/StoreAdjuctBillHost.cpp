#include "player/StoreAdjuctBillHost.h"

#include "adodb/Connection.h"
#include "host/ScriptedUserInterface.h"
#include "module/StoreAdjuctBill.h"

namespace storeadjust::player {

namespace {

class StoreAdjuctBillHost : public Host {
 public:
  // The scenario's interface refuses any question asked while the session connection is inside
  // a transaction.
  explicit StoreAdjuctBillHost(UserInterface& ui) : bill_(ui) {
    if (auto* scripted = dynamic_cast<ScriptedUserInterface*>(&ui)) {
      scripted_ = scripted;
      scripted->InTransaction = [this] {
        const auto& connection = bill_.GetSession().Conn;
        return connection && connection->InTransaction();
      };
    }
  }
  ~StoreAdjuctBillHost() override {
    // The interface outlives the host: leave it nothing that points into this object.
    if (scripted_) scripted_->InTransaction = nullptr;
  }

  void Execute(const HostProperties& p) override {
    if (p.NetInfo) bill_.SetNetInfo(*p.NetInfo);
    if (p.IsLegacyHost) bill_.SetIsLegacyHost(*p.IsLegacyHost);
    if (p.NetHandle) bill_.SetNetHandle(*p.NetHandle);
    if (p.SysDate) bill_.SetSysDate(*p.SysDate);
    if (p.CommandTimeout) bill_.SetCommandTimeout(*p.CommandTimeout);
    if (p.ConnStr) bill_.SetConnStr(*p.ConnStr);
    if (p.OptCode) bill_.SetOptCode(*p.OptCode);
    if (p.OptName) bill_.SetOptName(*p.OptName);
    if (p.isNotPh) bill_.SetisNotPh(*p.isNotPh);
    if (p.EditionId) bill_.SetEditionId(*p.EditionId);
    if (p.Category) bill_.SetCategory(*p.Category);
    bill_.Execute();
  }

 private:
  StoreAdjuctBill bill_;
  ScriptedUserInterface* scripted_ = nullptr;
};

}  // namespace

std::unique_ptr<Host> MakeStoreAdjuctBillHost(UserInterface& ui) { return std::make_unique<StoreAdjuctBillHost>(ui); }

}  // namespace storeadjust::player
