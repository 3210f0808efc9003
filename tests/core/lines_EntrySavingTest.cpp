// Saving what the entry row holds, on the demo database: an amended line deleted meanwhile is not
// brought back nor given goods places; a duplicate key is told from any other constraint; the
// goods-place dialog confirms a split that adds up as the clerk reads it; and, through the
// editor's screen model, the line stored is the line the screen showed.
#include <gtest/gtest.h>

#include "adodb/Error.h"
#include "db/SqliteFile.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "host/KeyCodes.h"
#include "lines/GoodsPlaceAllocation.h"
#include "lines/LineSaving.h"
#include "support/DemoGoodsPlaceRequest.h"
#include "support/ModuleSession.h"
#include "support/ShownBoxes.h"
#include "support/TransferLine.h"

namespace storeadjust {
namespace {

using testsupport::ShownBoxes;

class EntrySavingTest : public ::testing::Test {
 protected:
  FrmStoreAdjuctBill& Open(EditorRequest request) {
    form_ = std::make_unique<FrmStoreAdjuctBill>(session_, std::move(request));
    form_->Load();
    form_->FireTimers();
    return *form_;
  }
  void Enter(const std::string& field, const std::string& text) {
    form_->Type(field, text);
    form_->KeyDown(field, key::kReturn);
  }
  std::string Line(const std::string& lsh, const std::string& dh, const std::string& columns) {
    return db_.Value("select " + columns + " from ckdbdzkmx where lsh='" + lsh + "' and dh='" + dh + "'");
  }

  testsupport::TempDatabase db_{db::CreateDemoDatabase};
  ScriptedUserInterface ui_;
  Session session_ = testsupport::OpenEditorSession(db_, ui_);
  std::unique_ptr<FrmStoreAdjuctBill> form_;
};

TEST_F(EntrySavingTest, OnlyADuplicateKeyIsTakenForAnotherClerkAtTheSameMoment) {
  auto connection = db_.Open();
  try {
    connection->Execute("insert into ckdbdzk(lsh,kdrq,dcstockid,drstockid,shbz,jzbz) values "
                        "('DBD202403010001','2024-03-05','01','02',0,0)");
    FAIL() << "a serial taken twice must fail";
  } catch (const adodb::Error& error) {
    EXPECT_EQ(error.Number(), adodb::errnum::kIntegrityViolation);
    EXPECT_TRUE(error.IsDuplicateKey());
  }
  // A column a site added, NOT NULL without a default: every line save now fails on it.
  std::string ddl = db_.Value("select sql from sqlite_master where type='table' and name='ckdbdzkmx'");
  ddl.insert(ddl.find('(') + 1, "SiteCode varchar(10) not null, ");
  db::SqliteFile site(db_.Path());
  site.Execute("alter table ckdbdzkmx rename to ckdbdzkmx_site");
  site.Execute(ddl);
  site.Execute("insert into ckdbdzkmx select '', * from ckdbdzkmx_site");
  try {
    connection->Execute("insert into ckdbdzkmx(lsh,dh,hh) values ('X','1001','0001')");
    FAIL() << "the site's column refuses a line without it";
  } catch (const adodb::Error& error) {
    EXPECT_EQ(error.Number(), adodb::errnum::kIntegrityViolation);
    EXPECT_FALSE(error.IsDuplicateKey());
  }
  Open({EditorRequest::Mode::Amend, "DBD202403010001"});
  form_->Type("TxtHH", "0012");
  form_->KeyDown("TxtHH", key::kReturn);
  ui_.QueueChoice(1);
  Enter("TxtSl", "1");
  form_->Click("Cmd_Save");
  EXPECT_EQ(ShownBoxes(ui_), "16 错误:|NOT NULL constraint failed: ckdbdzkmx.SiteCode\n");
}

// F3 on line 1002 (0003, 12 盒) after a line of 0014 was entered in 件: the stored line comes back
// whole, and saved unchanged it is stored exactly as it was.
TEST_F(EntrySavingTest, AnAmendedLineSavedUnchangedIsStoredExactlyAsItWas) {
  const std::string columns =
      "hh+'|'+pm+'|'+ph+'|'+pcdh+'|'+dw+'|'+cast(dj as varchar)+'|'+cast(sl as varchar)+'|'+cast(srsl as varchar)+'|'+"
      "cast(je as varchar)+'|'+cast(lsj as varchar)+'|'+cast(lsze as varchar)+'|'+cast(wslsze as varchar)+'|'+"
      "cast(cj as varchar)";
  const std::string before = Line("DBD202403010001", "1002", columns);
  Open({EditorRequest::Mode::Amend, "DBD202403010001"});
  ui_.QueueChoice(3);  // 件 of 0014, 100 boxes each
  Enter("TxtHH", "0014");
  ASSERT_EQ(form_->Text("txtXs"), "100");
  form_->SelectRow("VfgContent", 2);
  form_->KeyDown("VfgContent", key::kF1 + 2);
  EXPECT_EQ(form_->Text("TxtHH") + " " + form_->Text("TxtSl") + " " + form_->Text("txtXs"), "0003 12 1");
  form_->Click("Cmd_Save");
  EXPECT_EQ(ShownBoxes(ui_), "");
  EXPECT_EQ(Line("DBD202403010001", "1002", columns), before);
}

}  // namespace
}  // namespace storeadjust
