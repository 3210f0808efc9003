#pragma once
// A database file in a fresh temporary folder, removed with the object: an empty file, or what
// the given builder writes. Run, Value and Count go through a connection of their own, so they
// see only what the code under test has committed. Needs the adodb library only.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "adodb/Connection.h"
#include "adodb/Recordset.h"

namespace testsupport {

class TempDatabase {
 public:
  using Builder = std::function<void(const std::string& path)>;

  explicit TempDatabase(const Builder& build = {}) {
    std::string pattern = (std::filesystem::temp_directory_path() / "storeadjust-test-XXXXXX").string();
    folder_ = mkdtemp(pattern.data());
    path_ = (folder_ / "test.db").string();
    if (build) build(path_);
    else std::ofstream(path_).flush();  // the provider opens existing files only
  }
  ~TempDatabase() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  TempDatabase(const TempDatabase&) = delete;
  TempDatabase& operator=(const TempDatabase&) = delete;
  const std::string& Path() const { return path_; }
  const std::filesystem::path& Folder() const { return folder_; }
  std::string ConnStr() const { return "Provider=SQLite;Data Source=" + path_; }

  std::shared_ptr<adodb::Connection> Open() const {
    auto connection = std::make_shared<adodb::Connection>();
    connection->Open(ConnStr());
    return connection;
  }
  void Run(std::initializer_list<std::string> statements) const {
    for (auto connection = Open(); const auto& sql : statements) connection->Execute(sql);
  }
  // The first column of the first row as text: "" for NULL or no row.
  std::string Value(const std::string& sql) const {
    auto rows = Open()->OpenRecordset(sql);
    if (rows->RecordCount() < 1) return {};
    rows->MoveFirst();
    return rows->Value(std::size_t{0}).TextOrEmpty();
  }
  long Count(const std::string& sql) const {
    const std::string value = Value(sql);  // one read: each opens a connection of its own
    return value.empty() ? 0 : std::stol(value);
  }

 private:
  std::filesystem::path folder_;
  std::string path_;
};

}  // namespace testsupport
