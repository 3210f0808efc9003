#include "RegistryFile.h"

#include <fstream>
#include <system_error>
#include <vector>

#include "host/UserFolders.h"

namespace storeadjust::registry {

namespace {

std::vector<std::string> ReadLinesExcept(const std::filesystem::path& file, const std::string& className) {
  std::vector<std::string> lines;
  std::ifstream in(file);
  const std::string prefix = className + "=";
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(prefix, 0) != 0) lines.push_back(line);
  }
  return lines;
}

bool WriteLines(const std::filesystem::path& file, const std::vector<std::string>& lines) {
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  const auto temporary = file.string() + ".tmp";
  {
    std::ofstream out(temporary, std::ios::trunc);
    for (const auto& line : lines) out << line << "\n";
    if (!out.flush()) return false;
  }
  std::filesystem::rename(temporary, file, ec);
  return !ec;
}

}  // namespace

std::optional<std::filesystem::path> RegistryFilePath() {
  const auto config = UserFolder("XDG_CONFIG_HOME", ".config");
  if (!config) return std::nullopt;
  return *config / "storeadjust" / "registry.ini";
}

bool WriteEntry(const std::string& className, const std::string& libraryPath) {
  const auto file = RegistryFilePath();
  if (!file) return false;
  auto lines = ReadLinesExcept(*file, className);
  lines.push_back(className + "=" + libraryPath);
  return WriteLines(*file, lines);
}

bool RemoveEntry(const std::string& className) {
  const auto file = RegistryFilePath();
  if (!file) return false;
  std::error_code ec;
  if (!std::filesystem::exists(*file, ec)) return true;
  return WriteLines(*file, ReadLinesExcept(*file, className));
}

}  // namespace storeadjust::registry
