#pragma once
// The user's base folders for the module's files: the demo database (data) and the loadable
// library's registration (configuration).
#include <filesystem>
#include <optional>

namespace storeadjust {

// The folder named by `variable` (XDG_DATA_HOME, XDG_CONFIG_HOME) when it is absolute, else
// `underHome` in HOME when that is absolute, else in the user's home from the password database;
// none when none of these names one. A relative value is no folder: it would put the user's files
// under whatever folder the program happened to start in.
std::optional<std::filesystem::path> UserFolder(const char* variable, const std::filesystem::path& underHome);

}  // namespace storeadjust
