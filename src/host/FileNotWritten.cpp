#include "host/FileNotWritten.h"

#include <sys/stat.h>
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

// Each of this process's open files, seen through /proc/self/fd, against the one named: the same
// device and inode is the same file under whatever name it was chosen.
std::string WhyFileKeptFromWriting(const std::string& path) {
  struct stat chosen {};
  if (::stat(path.c_str(), &chosen) != 0) return {};
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
    struct stat open {};
    if (::stat(entry.path().c_str(), &open) == 0 && open.st_dev == chosen.st_dev && open.st_ino == chosen.st_ino) {
      return "它是本程序正在使用的文件（打开着的数据库），没有覆盖它";
    }
  }
  return {};
}

}  // namespace storeadjust
