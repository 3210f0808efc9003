#pragma once
// The desktop menu's entries for the program.

namespace storeadjust::launcher {

// ./setup.sh run gives the user's menu an entry for the built launcher (storeadjust-built.desktop
// in the user's data folder). Once the package is installed (or the program into the user's own
// data folder), its entry storeadjust.desktop stands beside that one and the menu lists the
// program twice: setup's entry is removed, by whichever launcher starts first. Nothing is said
// when it cannot be: the menu only stays as it was.
void RemoveSetupsEntryBesideAnInstalledOne();

}  // namespace storeadjust::launcher
