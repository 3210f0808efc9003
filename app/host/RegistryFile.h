#pragma once
// The per-user file in which the library registers its class: one "ClassName=path" per line,
// at $XDG_CONFIG_HOME/storeadjust/registry.ini, or ~/.config/storeadjust/registry.ini, the home
// being $HOME or, without one, the user's home in the password database.
#include <filesystem>
#include <optional>
#include <string>

namespace storeadjust::registry {

// None when no configuration folder is known: never a relative path, which would put the file
// under whatever folder the host runs in, where no later look finds it.
std::optional<std::filesystem::path> RegistryFilePath();

// Writes or replaces the line of className. Returns false when the file cannot be written, or
// there is no configuration folder to write it in.
bool WriteEntry(const std::string& className, const std::string& libraryPath);
// Removes the line of className; true when the file is as wanted afterwards (also when it had no
// such line), false without a configuration folder.
bool RemoveEntry(const std::string& className);

}  // namespace storeadjust::registry
