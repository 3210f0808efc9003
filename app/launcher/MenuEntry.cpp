#include "MenuEntry.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "LaunchOptions.h"

namespace storeadjust::launcher {

namespace {

// The system's data folders by the base directory rules: relative ones are ignored.
std::vector<std::filesystem::path> SystemDataFolders() {
  const char* dirs = std::getenv("XDG_DATA_DIRS");
  std::istringstream list(dirs != nullptr && *dirs != '\0' ? dirs : "/usr/local/share:/usr/share");
  std::vector<std::filesystem::path> folders;
  for (std::string folder; std::getline(list, folder, ':');) {
    if (std::filesystem::path(folder).is_absolute()) folders.emplace_back(folder);
  }
  return folders;
}

}  // namespace

void RemoveSetupsEntryBesideAnInstalledOne() {
  const auto data = DataHome();
  if (!data) return;
  const auto setups = *data / "applications" / "storeadjust-built.desktop";
  std::error_code error;
  if (!std::filesystem::exists(setups, error)) return;
  auto folders = SystemDataFolders();
  folders.insert(folders.begin(), *data);
  for (const auto& folder : folders) {
    if (std::filesystem::is_regular_file(folder / "applications" / "storeadjust.desktop", error)) {
      std::filesystem::remove(setups, error);
      return;
    }
  }
}

}  // namespace storeadjust::launcher
