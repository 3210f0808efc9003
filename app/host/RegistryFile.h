#pragma once
// The per-user file in which the library registers its class: one "ClassName=path" per line,
// at $XDG_CONFIG_HOME/storeadjust/registry.ini, or ~/.config/storeadjust/registry.ini.
#include <filesystem>
#include <string>

namespace storeadjust::registry {

std::filesystem::path RegistryFilePath();

// Writes or replaces the line of className. Returns false when the file cannot be written.
bool WriteEntry(const std::string& className, const std::string& libraryPath);
// Removes the line of className; true when the file is as wanted afterwards (also when it had no such line).
bool RemoveEntry(const std::string& className);

}  // namespace storeadjust::registry
