#pragma once
// The real module behind the player's Host interface: one StoreAdjuctBill for the scenario,
// with the scripted user interface.
#include <memory>

#include "host/UserInterface.h"
#include "player/Host.h"

namespace storeadjust::player {

std::unique_ptr<Host> MakeStoreAdjuctBillHost(UserInterface& ui);

}  // namespace storeadjust::player
