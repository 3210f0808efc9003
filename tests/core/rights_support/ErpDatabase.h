#pragma once
// A fresh embedded ERP database in a temporary folder, removed with the object: every table and
// no rows, or the demo database; and a session open on it whose user interface is scripted.
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <random>
#include <string>

#include "adodb/Connection.h"
#include "db/DatabaseFactory.h"
#include "host/ScriptedUserInterface.h"
#include "host/Session.h"

namespace storeadjust::rightstest {

class ErpDatabase {
 public:
  enum class Content { Empty, Demo };

  explicit ErpDatabase(Content content = Content::Empty) {
    std::random_device random;
    folder_ = std::filesystem::temp_directory_path() / ("storeadjust-rights-" + std::to_string(random()));
    std::filesystem::create_directories(folder_);
    const std::string path = (folder_ / "erp.db").string();
    if (content == Content::Demo) {
      db::CreateDemoDatabase(path);
    } else {
      db::CreateEmptyDatabase(path);
    }
    connStr_ = db::EmbeddedConnectionString(path);
  }
  ~ErpDatabase() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  ErpDatabase(const ErpDatabase&) = delete;
  ErpDatabase& operator=(const ErpDatabase&) = delete;

  const std::string& ConnStr() const { return connStr_; }

  void Run(std::initializer_list<std::string> statements) const {
    adodb::Connection conn;
    conn.Open(connStr_);
    for (const auto& sql : statements) conn.Execute(sql);
  }

  long Count(const std::string& sql) const {
    auto conn = std::make_shared<adodb::Connection>();
    conn->Open(connStr_);
    auto rs = conn->OpenRecordset(sql);
    rs->MoveFirst();
    return static_cast<long>(rs->Value(std::size_t{0}).AsInt32());
  }

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

}  // namespace storeadjust::rightstest
