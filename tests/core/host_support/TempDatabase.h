#pragma once
// A SQLite database file in a fresh temporary folder, removed with the object, and a session
// whose connection is open on it.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "adodb/Connection.h"
#include "host/Session.h"
#include "RecordingUserInterface.h"

namespace storeadjust::hosttest {

class TempDatabase {
 public:
  TempDatabase() {
    std::random_device random;
    folder_ = std::filesystem::temp_directory_path() / ("storeadjust-host-" + std::to_string(random()));
    std::filesystem::create_directories(folder_);
    const std::string file = (folder_ / "erp.db").string();
    sqlite3* created = nullptr;  // the provider opens existing files only
    sqlite3_open_v2(file.c_str(), &created, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    sqlite3_close(created);
    connStr_ = "Provider=SQLite;Data Source=" + file;
  }
  ~TempDatabase() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  TempDatabase(const TempDatabase&) = delete;
  TempDatabase& operator=(const TempDatabase&) = delete;

  const std::string& ConnStr() const { return connStr_; }
  const std::filesystem::path& Folder() const { return folder_; }

  // Runs statements on a connection of its own.
  void Run(std::initializer_list<std::string> statements) const {
    adodb::Connection conn;
    conn.Open(connStr_);
    for (const auto& sql : statements) conn.Execute(sql);
    conn.Close();
  }

  // A session with Conn open on this database and ui as its user interface.
  Session OpenSession(UserInterface& ui) const {
    Session session;
    session.ConnStr = connStr_;
    session.Ui = &ui;
    session.Conn = std::make_shared<adodb::Connection>();
    session.Conn->Open(connStr_);
    return session;
  }

 private:
  std::filesystem::path folder_;
  std::string connStr_;
};

}  // namespace storeadjust::hosttest
