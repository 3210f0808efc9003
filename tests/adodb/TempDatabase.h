#pragma once
// An empty SQLite database file in a fresh temporary folder, removed with the object, and a
// helper that opens a shared Connection on it.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "adodb/Connection.h"

class TempDatabase {
 public:
  TempDatabase() {
    std::string pattern = (std::filesystem::temp_directory_path() / "adodb-test-XXXXXX").string();
    folder_ = mkdtemp(pattern.data());
    path_ = (folder_ / "test.db").string();
    std::ofstream(path_).flush();
  }
  ~TempDatabase() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  TempDatabase(const TempDatabase&) = delete;
  TempDatabase& operator=(const TempDatabase&) = delete;

  const std::string& Path() const { return path_; }
  std::string ConnectionString() const { return "Provider=SQLite;Data Source=" + path_; }
  std::shared_ptr<adodb::Connection> Open() const {
    auto connection = std::make_shared<adodb::Connection>();
    connection->Open(ConnectionString());
    return connection;
  }

 private:
  std::filesystem::path folder_;
  std::string path_;
};
