#include "player/StoreAdjuctBillHost.h"

#include "module/StoreAdjuctBill.h"

namespace storeadjust::player {

namespace {

class StoreAdjuctBillHost : public Host {
 public:
  explicit StoreAdjuctBillHost(UserInterface& ui) : bill_(ui) {}

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
};

}  // namespace

std::unique_ptr<Host> MakeStoreAdjuctBillHost(UserInterface& ui) { return std::make_unique<StoreAdjuctBillHost>(ui); }

}  // namespace storeadjust::player
