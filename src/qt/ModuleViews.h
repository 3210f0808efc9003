#pragma once
// Registers the window of every screen of the module, so a Qt host shows each form it runs.
namespace storeadjust::qt {

void RegisterModuleViews();

}  // namespace storeadjust::qt
