// Saving what the entry row holds, on the demo database: a duplicate key is told from any other
// constraint, and a save the database refuses for another reason reaches the clerk in its own
// words. That the line stored is the line the screen showed, also after F3, is held by the entry
// property test and scenarios/entry/goods_own_facts.scn.
#include <gtest/gtest.h>

#include "adodb/Error.h"
#include "db/SqliteFile.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "host/KeyCodes.h"
#include "support/ErrorOf.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

using testsupport::ErrorOf;

TEST(EntrySavingTest, OnlyADuplicateKeyIsTakenForAnotherClerkAtTheSameMoment) {
  testsupport::TempDatabase db{db::CreateDemoDatabase};
  auto connection = db.Open();
  const adodb::Error taken = ErrorOf([&] {
    connection->Execute("insert into ckdbdzk(lsh,kdrq,dcstockid,drstockid,shbz,jzbz) values "
                        "('DBD202403010001','2024-03-05','01','02',0,0)");
  });
  EXPECT_EQ(taken.Number(), adodb::errnum::kIntegrityViolation) << taken.Description();
  EXPECT_TRUE(taken.IsDuplicateKey());
  // A column a site added, NOT NULL without a default: every line save now fails on it.
  std::string ddl = db.Value("select sql from sqlite_master where type='table' and name='ckdbdzkmx'");
  ddl.insert(ddl.find('(') + 1, "SiteCode varchar(10) not null, ");
  db::SqliteFile site(db.Path());
  site.Execute("alter table ckdbdzkmx rename to ckdbdzkmx_site");
  site.Execute(ddl);
  site.Execute("insert into ckdbdzkmx select '', * from ckdbdzkmx_site");
  const adodb::Error refused = ErrorOf([&] { connection->Execute("insert into ckdbdzkmx(lsh,dh,hh) values ('X','1001','0001')"); });
  EXPECT_EQ(refused.Number(), adodb::errnum::kIntegrityViolation) << refused.Description();
  EXPECT_FALSE(refused.IsDuplicateKey());

  ScriptedUserInterface ui;
  Session session = testsupport::OpenEditorSession(db, ui);
  FrmStoreAdjuctBill form{session, {EditorRequest::Mode::Amend, "DBD202403010001"}};
  form.Load();
  form.FireTimers();
  form.Type("TxtHH", "0012");
  form.KeyDown("TxtHH", key::kReturn);
  ui.QueueChoice(1);
  form.Type("TxtSl", "1");
  form.KeyDown("TxtSl", key::kReturn);
  form.Click("Cmd_Save");
  EXPECT_EQ(testsupport::ShownBoxes(ui), "16 错误:|NOT NULL constraint failed: ckdbdzkmx.SiteCode\n");
}

}  // namespace
}  // namespace storeadjust
