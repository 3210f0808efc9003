#include "host/UserFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace storeadjust {

std::optional<std::filesystem::path> UserFolder(const char* variable, const std::filesystem::path& underHome) {
  const auto absolute = [](const char* path) { return path != nullptr && std::filesystem::path(path).is_absolute(); };
  if (const char* named = std::getenv(variable); absolute(named)) return std::filesystem::path(named);
  if (const char* home = std::getenv("HOME"); absolute(home)) return std::filesystem::path(home) / underHome;
  // Started from a service, by su - or by env -i, a program has no HOME; its user still has the
  // home the shell would have given it.
  if (const passwd* user = getpwuid(getuid()); user != nullptr && absolute(user->pw_dir)) {
    return std::filesystem::path(user->pw_dir) / underHome;
  }
  return std::nullopt;
}

}  // namespace storeadjust
