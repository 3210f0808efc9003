#pragma once
// A private copy of the demo database for the editor's tests, and a session on it as the browser
// leaves it for the editor: connection open, right model and sys_var row loaded, scripted user
// interface, business date 2024-03-05, operator 001.
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <random>
#include <string>

#include "adodb/Connection.h"
#include "db/DatabaseFactory.h"
#include "host/ScriptedUserInterface.h"
#include "host/Session.h"

namespace storeadjust::editortest {

inline constexpr const char* kModuleRightGuid = "{6B1F0A42-0402-4C3E-9A10-A10402000001}";

class EditorDatabase {
 public:
  EditorDatabase() {
    std::random_device random;
    folder_ = std::filesystem::temp_directory_path() / ("storeadjust-editor-" + std::to_string(random()));
    std::filesystem::create_directories(folder_);
    const std::string path = (folder_ / "erp.db").string();
    db::CreateDemoDatabase(path);
    connStr_ = db::EmbeddedConnectionString(path);
  }
  ~EditorDatabase() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  EditorDatabase(const EditorDatabase&) = delete;
  EditorDatabase& operator=(const EditorDatabase&) = delete;

  void Run(std::initializer_list<std::string> statements) const {
    adodb::Connection conn;
    conn.Open(connStr_);
    for (const auto& sql : statements) conn.Execute(sql);
  }

  // The first column of the first row as text (empty text for NULL or no row).
  std::string Value(const std::string& sql) const {
    auto conn = std::make_shared<adodb::Connection>();
    conn->Open(connStr_);
    auto rs = conn->OpenRecordset(sql);
    if (rs->RecordCount() < 1) return {};
    rs->MoveFirst();
    return rs->Value(std::size_t{0}).TextOrEmpty();
  }

  Session OpenSession(UserInterface& ui, const std::string& operatorCode = "001") const {
    Session session;
    session.ConnStr = connStr_;
    session.Ui = &ui;
    session.OptCode = operatorCode;
    session.OptName = "系统管理员";
    session.SysDate = adodb::Date{2024, 3, 5};
    session.ModuleRightGuid = kModuleRightGuid;
    session.Conn = std::make_shared<adodb::Connection>();
    session.Conn->Open(connStr_);
    session.SysVarRs = session.Conn->OpenRecordset("select * from sys_var");
    session.SysVarRs->MoveFirst();
    return session;
  }

 private:
  std::filesystem::path folder_;
  std::string connStr_;
};

}  // namespace storeadjust::editortest
