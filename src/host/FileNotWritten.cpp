#include "host/FileNotWritten.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace storeadjust {

namespace {

std::string RightsRefused(const std::filesystem::path& where, const std::string& what) {
  if (::access(where.c_str(), W_OK) == 0) return {};
  return errno == EROFS ? "磁盘是只读的" : "没有写" + what + "的权限";
}

}  // namespace

std::string WhyFileNotWritten(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path file = fs::absolute(path, error);
  const fs::path folder = file.parent_path();
  if (!fs::exists(folder, error)) return "文件夹 " + folder.string() + " 不存在";
  if (!fs::is_directory(folder, error)) return folder.string() + " 不是文件夹";
  if (fs::is_directory(file, error)) return "已有同名的文件夹";
  if (fs::exists(file, error)) return RightsRefused(file, "这个文件");
  return RightsRefused(folder, "文件夹 " + folder.string());
}

}  // namespace storeadjust
