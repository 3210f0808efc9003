#include "adodb/OdbcTsqlExtension.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "adodb/Error.h"
#include "adodb/tsql/Tokenizer.h"

namespace adodb::odbc {

namespace {

constexpr const char* kExtensionFileName = "libtsql_sqlite_ext.so";

std::filesystem::path RunningExecutableFolder() {
  std::error_code error;
  const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : executable.parent_path();
}

// The folder of the program or shared library this code was linked into: a host application
// that loads the module as a library keeps the extension beside that library, not beside itself.
std::filesystem::path ContainingModuleFolder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&RunningExecutableFolder), &info) == 0 || info.dli_fname == nullptr) return {};
  std::error_code error;
  const auto module = std::filesystem::canonical(info.dli_fname, error);
  return error ? std::filesystem::path() : module.parent_path();
}

}  // namespace

// An explicit STOREADJUST_TSQL_EXT wins; then the folders of the module and of the executable,
// each also in the installed layout (bin/ or lib/ beside lib/storeadjust/); then the library
// this build produced.
std::string TsqlExtensionPath() {
  if (const char* configured = std::getenv("STOREADJUST_TSQL_EXT"); configured && *configured) {
    if (!std::filesystem::exists(configured)) {
      throw Error::Provider(std::string("环境变量 STOREADJUST_TSQL_EXT 给出的 SQLite 的 T-SQL 函数库 ") + configured +
                            " 不存在，请改正它，或者去掉它而用随程序安装的函数库。");
    }
    return std::filesystem::absolute(configured).string();
  }
  std::vector<std::filesystem::path> candidates;
  for (const auto& folder : {ContainingModuleFolder(), RunningExecutableFolder()}) {
    if (folder.empty()) continue;
    candidates.push_back(folder / kExtensionFileName);
    candidates.push_back(folder / "storeadjust" / kExtensionFileName);
    candidates.push_back(folder / ".." / "lib" / "storeadjust" / kExtensionFileName);
  }
#ifdef STOREADJUST_TSQL_EXT_BUILD_PATH
  candidates.emplace_back(STOREADJUST_TSQL_EXT_BUILD_PATH);
#endif
  for (const auto& candidate : candidates) {
    std::error_code error;
    if (std::filesystem::exists(candidate, error)) return std::filesystem::canonical(candidate, error).string();
  }
  // Said to the administrator of a site, who meets it with a built program copied away from its build.
  throw Error::Provider(std::string("找不到 SQLite 的 T-SQL 函数库 ") + kExtensionFileName +
                        "（经 ODBC 以 Dialect=SQLite 连接要用它，它应在程序旁边或 ../lib/storeadjust/ 中）。"
                        "请重新安装程序，或者用环境变量 STOREADJUST_TSQL_EXT 给出它的路径。");
}

std::string NotTheTsqlExtensionText(const std::string& extensionPath) {
  return "SQLite ODBC 驱动程序没有载入 SQLite 的 T-SQL 函数库 " + extensionPath +
         "：它不是这个函数库，或者已损坏。请重新安装程序，或者改正环境变量 STOREADJUST_TSQL_EXT。";
}

// Loaded as SQLite loads an extension, for a moment: the driver loads it again for the session.
void RequireLoadableTsqlExtension(const std::string& extensionPath) {
  void* library = ::dlopen(extensionPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  const bool loads = library != nullptr && ::dlsym(library, "sqlite3_extension_init") != nullptr;
  if (library != nullptr) ::dlclose(library);
  if (!loads) throw Error::Provider(NotTheTsqlExtensionText(extensionPath));
}

namespace {

// The driver splits LoadExt on ',' and the connection string on ';'; its buffer is 512 bytes.
bool DriverTakes(const std::string& extensionPath) {
  return extensionPath.find_first_of(",;{}") == std::string::npos && extensionPath.size() < 500;
}

}  // namespace

std::string WithTsqlExtension(const std::string& connectionString, const std::string& extensionPath) {
  if (!DriverTakes(extensionPath)) {
    throw Error::Provider("SQLite ODBC 驱动程序不能从这个路径载入 SQLite 的 T-SQL 函数库：" + extensionPath +
                          "（路径中不能有 , ; 或花括号，最长 499 字节）。请把它复制到别的目录，"
                          "用环境变量 STOREADJUST_TSQL_EXT 给出新的路径。");
  }
  std::string text = connectionString;
  if (!text.empty() && text.back() != ';') text += ';';
  return text + "LoadExt=" + extensionPath + ";";
}

LoadableTsqlExtension::LoadableTsqlExtension(const std::string& extensionPath) : name_(extensionPath) {
  if (DriverTakes(extensionPath)) return;
  descriptor_ = ::open(extensionPath.c_str(), O_RDONLY | O_CLOEXEC);
  const std::string own = "/proc/self/fd/" + std::to_string(descriptor_);
  std::error_code unseen;
  if (descriptor_ >= 0 && std::filesystem::exists(own, unseen)) name_ = own;  // else refused by name
}

LoadableTsqlExtension::~LoadableTsqlExtension() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

// A plain ? takes the value after the highest taken so far, as SQLite numbers it.
PlainMarks WithPlainMarks(std::string_view translated) {
  PlainMarks plain;
  plain.text.reserve(translated.size());
  std::size_t highest = 0;
  for (std::size_t pos = 0; pos < translated.size();) {
    const tsql::TokenExtent token = tsql::NextToken(translated, pos);
    const std::size_t length = token.length > 0 ? token.length : 1;
    const std::string_view text = translated.substr(pos, length);
    pos += length;
    if (token.kind != tsql::TokenKind::Parameter) {
      plain.text += text;
      continue;
    }
    std::size_t number = highest + 1;
    if (text.size() > 1) std::from_chars(text.data() + 1, text.data() + text.size(), number);
    highest = std::max(highest, number);
    plain.values.push_back(number - 1);
    plain.text += '?';
  }
  return plain;
}

// The extension defines this function only to prove it was loaded.
const char* const kExtensionProbe = "select storeadjust_tsql_loaded()";

}  // namespace adodb::odbc
