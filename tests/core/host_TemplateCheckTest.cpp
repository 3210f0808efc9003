// storeadjust-db check-templates, run as a site runs it before moving to the embedded database:
// on a database holding one template the translator takes and one it refuses.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "db/DatabaseFactory.h"
#include "support/TempDatabase.h"
#include "support/SqlLiterals.h"

#ifdef STOREADJUST_DB_TOOL

namespace {

using storeadjust::QuoteSql;
using testsupport::TempDatabase;

struct Ran {
  int status = -1;
  std::string out;
};

// Runs the tool on the file, its output and errors kept together in a file beside it.
Ran CheckTemplates(const std::string& path) {
  const std::string out = path + ".out";
  const int status = std::system((std::string(STOREADJUST_DB_TOOL) + " check-templates '" + path + "' >'" + out + "' 2>&1").c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, (std::ostringstream() << std::ifstream(out).rdbuf()).str()};
}

void StoreTemplate(const TempDatabase& db, const std::string& name, const std::string& sql) {
  db.Run({"insert into GLSelect (FDH, FSQL) values ('" + QuoteSql(name) + "', '" + QuoteSql(sql) + "')"});
}

// The good template is a column list with the coefficient placeholder, which only runs inside the
// select the module puts around it, and quotes of its own; the refused one joins names with FOR XML.
// Profile values that are statements are checked too, named by their key.
TEST(TemplateCheck, ListsEachRefusedTemplateWithItsReasonAndFailsUntilTheyAreGone) {
  TempDatabase db(storeadjust::db::CreateDemoDatabase);
  StoreTemplate(db, "仓库调拨单", "a.hh as 货号, a.sl * [系数] as 数量, isnull(a.bz, '无') as 备注");
  StoreTemplate(db, "仓库调拨浏览1",
                "select stuff((select ',' + name from gl_stock for xml path('')), 1, 1, '') as 仓库 where 1=1 [选择条件]");
  db.Run({"insert into t_SystemProfile (FCategory, FKey, FValue) values ('GL', 'StockReport', "
          "'  Select hh, sl From phk Where sl > @min')"});

  Ran ran = CheckTemplates(db.Path());
  EXPECT_EQ(ran.status, 1);
  EXPECT_EQ(ran.out,
            "GLSelect 仓库调拨浏览1: T-SQL translator: FOR XML is not supported\n"
            "t_SystemProfile GL/StockReport: T-SQL translator: the variable @min outside a batch that declares it "
            "is not supported\n检查了 3 条已存语句，2 条不被接受。\n");

  db.Run({"delete from GLSelect where FDH = '仓库调拨浏览1'", "delete from t_SystemProfile where FKey = 'StockReport'"});
  ran = CheckTemplates(db.Path());
  EXPECT_EQ(ran.status, 0);
  EXPECT_EQ(ran.out, "检查了 1 条已存语句，0 条不被接受。\n");

  TempDatabase folder;
  const std::string nowhere = (folder.Folder() / "nowhere.db").string();
  ran = CheckTemplates(nowhere);
  EXPECT_EQ(ran.status, 1);
  EXPECT_EQ(ran.out, "storeadjust-db: 数据库文件 " + nowhere + " 不存在，请检查路径；要新建一个请用 storeadjust-db empty 或 demo。\n");
}

// SQLite's words for a file it cannot read as a database reach the user in Chinese.
TEST(TemplateCheck, SaysInChineseWhyAFileCannotBeOpened) {
  TempDatabase folder;
  const std::string text = (folder.Folder() / "notes.txt").string();
  std::ofstream(text) << "not a database, but long enough to be read as one and refused\n";
  const Ran ran = CheckTemplates(text);
  EXPECT_EQ(ran.status, 1);
  EXPECT_EQ(ran.out, "storeadjust-db: 打不开数据库文件 " + text + "：它不是数据库文件，请检查给出的文件名。\n");
}

// Another program's SQLite file is named as not the module's, and checking it writes nothing:
// its bytes (the journal mode in the header among them) stay, and no side file appears.
TEST(TemplateCheck, RefusesAForeignDatabaseWithoutWritingToIt) {
  TempDatabase folder;
  const std::string foreign = (folder.Folder() / "other.db").string();
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(foreign.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "create table t (a int)", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  const auto bytes = [&] { return (std::ostringstream() << std::ifstream(foreign, std::ios::binary).rdbuf()).str(); };
  const std::string before = bytes();
  const Ran ran = CheckTemplates(foreign);
  EXPECT_EQ(ran.status, 1);
  EXPECT_EQ(ran.out, "storeadjust-db: 数据库 " + foreign + " 中没有本模块的表 ckdbdzk，它不是调拨单模块的数据库。\n");
  EXPECT_EQ(bytes(), before);
  for (const char* side : {"-wal", "-shm", "-journal"}) EXPECT_FALSE(std::filesystem::exists(foreign + side)) << side;
}

}  // namespace

#endif
