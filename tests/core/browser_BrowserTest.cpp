// The browser and what it does to whole bills, against real embedded databases through the
// screens' models, at the level the scenarios cannot reach:
//  - its commands: what reaches the print and reprint components (the scenarios' scripted
//    components cannot be asked), what a deletion that fails halfway shows and leaves marked, and
//    the list behind a marked command's summary of the bills it left;
//  - bills read as printed slips, and the reprint list's serial filter;
//  - deleting and posting whole bills in one transaction when the database fails, serials holding
//    a quote, and the stock of goods kept without batches. A bill audited by another clerk between
//    the deletion's check and its transaction keeping its lines is held by the two-command matrix
//    (delete bill against audit).
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <optional>
#include <utility>

#include "adodb/Error.h"
#include "adodb/SqliteBackend.h"
#include "adodb/TextCompare.h"
#include "browse/BillListQuery.h"
#include "browse/FrmStoreAdjuctBillBrow.h"
#include "browse/MarkedBillPosting.h"
#include "browse/ReprintList.h"
#include "browse/SerialList.h"
#include "browse/FrmStockDistribution.h"
#include "browse/StockDistribution.h"
#include "db/DatabaseFactory.h"
#include "db/SqliteFile.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "host/BillSlip.h"
#include "host/DataScopeProvider.h"
#include "host/EmbeddedDataScopeProvider.h"
#include "host/EmbeddedProcedures.h"
#include "host/KeyCodes.h"
#include "lines/BillDeletion.h"
#include "support/DemoCopy.h"
#include "support/BrowserOnDemo.h"
#include "support/ErrorOf.h"
#include "support/Fields.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

using testsupport::ShownBoxes;

// The scripted interface, keeping every request handed to the components; a queued failure makes
// the next reprint throw it, as a component that cannot run would.
class RecordingUi : public ScriptedUserInterface {
 public:
  void Print(const PrintRequest& request) override {
    prints.push_back(request);
    ScriptedUserInterface::Print(request);
  }
  void Reprint(const ReprintRequest& request) override {
    reprints.push_back(request);
    if (failure) throw *std::exchange(failure, std::nullopt);
    ScriptedUserInterface::Reprint(request);
  }
  int MsgBox(const std::string& text, int buttons, const std::string& title) override {
    if (onBox) onBox(text);
    return ScriptedUserInterface::MsgBox(text, buttons, title);
  }
  std::vector<PrintRequest> prints;
  std::vector<ReprintRequest> reprints;
  std::optional<adodb::Error> failure;
  std::function<void(const std::string& text)> onBox;  // sees the screens as they stand when a box shows
};

class BrowserCommandsTest : public testsupport::BrowserOnDemo<RecordingUi> {
 protected:
  void Mark(std::initializer_list<const char*> serials) {
    for (const char* lsh : serials) browser.ListGrid().SetMarked(RowOf(lsh), true);
  }
};

TEST_F(BrowserCommandsTest, MarkedBillsGoInGridOrderAsOneRequestAndPreviewHandsOverTheSame) {
  browser.SortByColumn(1);  // serials descending: grid order is not serial order
  Mark({"DBD202403010001", "DBD202403020004", "DBD202403010002"});
  browser.Click("打印");

  ASSERT_EQ(ui.prints.size(), 1u);
  const PrintRequest& request = ui.prints[0];
  // The serials, the operator's code, whether previewed.
  EXPECT_EQ(testsupport::Fields(request.serials, request.textParameters.back(), request.preview),
            "DBD202403020004|DBD202403010002|DBD202403010001|001|0|");
  EXPECT_EQ(request.connection, session.Conn);

  Mark({"DBD202403010001", "DBD202403020004", "DBD202403010002"});
  browser.Click("预览");
  ASSERT_EQ(ui.prints.size(), 2u);
  EXPECT_TRUE(ui.prints[1].preview);
  EXPECT_EQ(ui.prints[1].serials, ui.prints[0].serials);
  EXPECT_EQ(ui.prints[1].textParameters, ui.prints[0].textParameters);
  EXPECT_EQ(ShownBoxes(ui), "");
}

TEST_F(BrowserCommandsTest, ReprintHandsTheSessionToTheComponentAndShowsItsFailureAsCritical) {
  session.Category = "EP";
  session.CommandTimeout = 30;
  browser.Click("重打");
  ASSERT_EQ(ui.reprints.size(), 1u);
  const ReprintRequest& r = ui.reprints[0];
  EXPECT_EQ(testsupport::Fields(r.category, r.commandTimeout, r.operatorCode, r.operatorName, r.sysDate, r.start),
            "EP|30|001|系统管理员|2024-03-05|13|");
  EXPECT_EQ(r.connectionString, session.ConnStr);

  ui.failure = adodb::Error(adodb::errnum::kProviderError, "重打组件不可用");
  browser.Click("mnuCd");
  EXPECT_EQ(ShownBoxes(ui), "16 系统提示|重打组件不可用\n");
  // F10, the editor's key for it, from the list and from the find field.
  browser.KeyDown(FrmStoreAdjuctBillBrow::kGrid, key::kF1 + 9);
  browser.KeyDown(FrmStoreAdjuctBillBrow::kFind, key::kF1 + 9);
  EXPECT_EQ(ui.reprints.size(), 4u);
}

// The serials the reprint list holds once read again, "A B ".
std::string Listed(ReprintList& list) {
  list.Refresh();
  std::string serials;
  for (const auto& bill : list.Bills()) serials += bill.serial + " ";
  return serials;
}

// 张三 sees his group's bills in the list; the reprint list is no wider.
TEST(ReprintScopeTest, TheReprintListHoldsTheBillsTheOperatorsScopeShows) {
  testsupport::TempDatabase db{testsupport::DemoCopy};
  RecordingUi ui;
  Session session = testsupport::OpenBrowserSession(db.ConnStr(), ui, "002");
  FrmStoreAdjuctBillBrow browser{session};
  browser.Load();
  browser.Click("重打");
  ASSERT_EQ(ui.reprints.size(), 1u);
  ReprintList list(ui.reprints[0]);
  EXPECT_EQ(Listed(list), "DBD202403010002 DBD202403020004 ");
}

// 记账 posts the marked bills together: when it fails none is posted, and all stay marked, for
// the lines they were set on; so does 审核 when the settings it audits by cannot be read.
TEST_F(BrowserCommandsTest, APostingOrAuditThatCannotRunLeavesTheMarks) {
  Mark({"DBD202403010001", "DBD202403010002", "DBD202403020003"});  // 0003 audited
  const long rows[] = {RowOf("DBD202403010001"), RowOf("DBD202403010002"), RowOf("DBD202403020003")};
  db.Run({"update ckdbdzkmx set bz='另一位操作员改过' where lsh='DBD202403020003'",
          "update ckdbdzk set shbz=1 where lsh='DBD202403010001'"});  // posted first, it fails first
  db::SqliteFile(db.Path())
      .Execute("create trigger keep_bills before update on ckdbdzk begin select raise(abort, 'bills locked'); end");
  ui.QueueAnswer(mb::kYes);
  browser.Click("记账");
  EXPECT_NE(ShownBoxes(ui).find("bills locked"), std::string::npos) << ShownBoxes(ui);
  for (long row : rows) EXPECT_TRUE(browser.ListGrid().IsMarked(row)) << row;
  db::SqliteFile(db.Path()).Execute("alter table phk rename to phk_elsewhere");
  ui.QueueAnswer(mb::kYes);
  browser.Click("审核");
  EXPECT_NE(ShownBoxes(ui).find("phk"), std::string::npos) << ShownBoxes(ui);
  for (long row : rows) EXPECT_TRUE(browser.ListGrid().IsMarked(row)) << row;
  db::SqliteFile(db.Path()).Execute("drop trigger keep_bills");
  ui.QueueAnswer(mb::kYes);
  browser.Click("记账");
  EXPECT_EQ(db.Value("select cast(jzbz as int) from ckdbdzk where lsh='DBD202403020003'"), "0");
}

// What went before the failing row went for good: the bill deleted leaves the list, and the
// audited bill, whose mark was cleared like the deleted one's, is named as kept.
TEST_F(BrowserCommandsTest, AFailingDeletionStillTellsWhichBillsBeforeItWentAndWhichWereKept) {
  browser.SortByColumn(1);  // serials descending: 0004 (entered), 0003 (audited), 0002, 0001
  Mark({"DBD202403020004", "DBD202403020003", "DBD202403010002", "DBD202403010001"});
  const long rowsBefore = browser.ListGrid().Rows();
  db::SqliteFile(db.Path())
      .Execute("create trigger keep_lines before delete on ckdbdzkmx when old.lsh='DBD202403010002' "
               "begin select raise(abort, 'lines locked'); end");
  ui.QueueAnswer(mb::kYes);

  browser.DeleteMarkedBills();

  EXPECT_EQ(ShownBoxes(ui), "292 提示:|您确定要删除吗？[Y/N]\n48 系统提示|lines locked\n"
                            "48 系统提示|流水号为:DBD202403020003\n此单据已审核，不能删除！\n");
  EXPECT_EQ(browser.ListGrid().Rows(), rowsBefore - 1);  // 0004 has left it
  EXPECT_EQ(db.Count("select count(*) from ckdbdzk where lsh='DBD202403020004'"), 0);
  EXPECT_EQ(db.Count("select count(*) from ckdbdzk where lsh in ('DBD202403010001','DBD202403010002')"), 2);
  EXPECT_TRUE(browser.ListGrid().IsMarked(RowOf("DBD202403010002")));  // the failing row and every row after it
  EXPECT_TRUE(browser.ListGrid().IsMarked(RowOf("DBD202403010001")));
}

// The bills a marked command could not change are named over the list as it now stands: the
// others show their new state behind the message, or have left the list.
TEST_F(BrowserCommandsTest, TheBillsLeftAreNamedOverTheListAlreadyReadAgain) {
  const long audited = 9;
  ASSERT_EQ(browser.ListGrid().TextMatrix(0, audited), "审核标志");
  RegisterEmbeddedProcedures();  // the audit's approval procedure, as Execute registers it
  std::string shownBehind;
  ui.onBox = [&](const std::string& text) {
    if (text.starts_with("以下单据未能")) shownBehind = browser.ListGrid().TextMatrix(RowOf("DBD202403010001"), audited);
  };
  Mark({"DBD202403010001", "DBD202403020003"});  // 0003 is audited already
  ui.QueueAnswer(mb::kYes);
  browser.Click("审核");
  EXPECT_EQ(shownBehind, "1");
  EXPECT_NE(ShownBoxes(ui).find("DBD202403020003: 单据已审核"), std::string::npos) << ShownBoxes(ui);

  // 记账 of an audited and an unaudited bill: the posted one has left the list behind the message.
  const long rowsBefore = browser.ListGrid().Rows();
  long rowsBehind = 0;
  ui.onBox = [&](const std::string& text) {
    if (text.find("记帐不成功") != std::string::npos) rowsBehind = browser.ListGrid().Rows();
  };
  Mark({"DBD202403010001", "DBD202403010002"});
  ui.QueueAnswer(mb::kYes);
  browser.Click("记账");
  EXPECT_EQ(rowsBehind, rowsBefore - 1);
  EXPECT_NE(ShownBoxes(ui).find("DBD202403010002的单据记帐不成功"), std::string::npos) << ShownBoxes(ui);
}

// A list template showing a row per line: a bill marked on two of its rows is audited once and,
// audited, not named among the bills left; a deletion names it once among the bills kept; the
// print hands it over once. Its columns without a name have a blank caption, as on the server.
TEST_F(BrowserCommandsTest, ABillMarkedOnTwoOfItsRowsIsTakenOnce) {
  db.Run({"insert into GLSelect (FDH, FSQL) values ('仓库调拨浏览2', 'Select A.LSH AS 流水号,B.DH AS 单号,"
          "isnull(A.SHBZ,0),B.HH+'''' From CKDBDZK A "
          "inner join ckdbdzkmx B on A.LSH=B.LSH Where A.JZBZ=0 [选择条件] Order By A.LSH,B.DH')"});
  FrmStoreAdjuctBillBrow byLine{session};
  byLine.Load();
  EXPECT_EQ(byLine.ListGrid().TextMatrix(0, 2) + "|" + byLine.ListGrid().TextMatrix(0, 3) + "|" +
                byLine.ListGrid().TextMatrix(0, 4),
            "单号||");
  RegisterEmbeddedProcedures();
  ASSERT_EQ(byLine.ListGrid().TextMatrix(2, 1), byLine.ListGrid().TextMatrix(1, 1));
  const auto markBoth = [&] { for (long row : {1, 2}) byLine.ListGrid().SetMarked(row, true); };
  markBoth();
  ui.QueueAnswer(mb::kYes);
  byLine.Click("审核");
  EXPECT_EQ(ShownBoxes(ui), "324 系统提示|确实要审核所选单据吗?\n");
  const std::string lsh = byLine.ListGrid().TextMatrix(1, 1);
  EXPECT_EQ(db.Count("select count(*) from ckdbdzk where shbz=1 and lsh='" + lsh + "'"), 1);

  markBoth();
  ui.QueueAnswer(mb::kYes);
  byLine.Click("删除");
  EXPECT_NE(ShownBoxes(ui).find("流水号为:" + lsh + "\n此单据已审核"), std::string::npos) << ShownBoxes(ui);

  markBoth();
  byLine.Click("打印");
  ASSERT_EQ(ui.prints.size(), 1u);
  EXPECT_EQ(ui.prints[0].serials, lsh);

  // A click on the second blank caption sorts by that column, not by the first without a name.
  byLine.SortByColumn(4);
  std::vector<std::string> goods;
  for (long row = 1; row < byLine.ListGrid().Rows(); ++row) goods.push_back(byLine.ListGrid().TextMatrix(row, 4));
  EXPECT_TRUE(std::is_sorted(goods.begin(), goods.end()) || std::is_sorted(goods.rbegin(), goods.rend()));
  EXPECT_EQ(ShownBoxes(ui).find("Item cannot"), std::string::npos) << ShownBoxes(ui);
}

// F5 reads the list again on the bill the clerk stood on (one gone meanwhile leaves him at the
// top, as the information scenario plays).
TEST_F(BrowserCommandsTest, RefreshingKeepsTheClerksPlaceInTheList) {
  browser.SelectRow(FrmStoreAdjuctBillBrow::kGrid, RowOf("DBD202403010002"));
  browser.KeyDown(FrmStoreAdjuctBillBrow::kGrid, key::kF1 + 4);
  EXPECT_EQ(browser.ListGrid().TextMatrix(browser.ListGrid().Row, 1), "DBD202403010002");
}

// Another clerk posts or deletes a marked bill first: it leaves the list as the clerk meant, and he
// is told it was not his command that took it.
TEST_F(BrowserCommandsTest, ABillPostedOrDeletedMeanwhileIsNamed) {
  db.Run({"update ckdbdzk set shbz=1 where lsh='DBD202403010001'"});
  browser.RefreshList();
  Mark({"DBD202403020003"});
  db.Run({"update ckdbdzk set jzbz=1 where lsh='DBD202403020003'"});
  ui.QueueAnswer(mb::kYes);
  browser.Click("过账");
  Mark({"DBD202403010001"});
  db.Run({"update ckdbdzk set jzbz=1 where lsh='DBD202403010001'"});
  ui.QueueAnswer(mb::kYes);
  browser.Click("记账");
  Mark({"DBD202403010002"});
  db.Run({"delete from ckdbdzkmx where lsh='DBD202403010002'", "delete from ckdbdzk where lsh='DBD202403010002'"});
  ui.QueueAnswer(mb::kYes);
  browser.Click("删除");
  EXPECT_EQ(ShownBoxes(ui), "324 系统提示|确实要过账所选单据吗?\n48 系统提示|以下单据未能过账:\nDBD202403020003: 单据已记帐\n"
                            "324 系统提示|你确实要将所选单据记账吗?\n64 系统提示|流水号为:DBD202403010001的单据已被他人记帐!\n"
                            "292 提示:|您确定要删除吗？[Y/N]\n64 系统提示|流水号为:DBD202403010002的单据已被其他操作员删除!\n");
}

// The clerk goes through a marked bill in the editor; another clerk changes a line's unit after
// the editor listed the lines: the mark stands for the lines the editor listed, and 删除 keeps it.
TEST_F(BrowserCommandsTest, AMarkedBillOpenedInTheEditorStandsForTheLinesTheEditorListed) {
  ASSERT_EQ(browser.ListGrid().TextMatrix(1, 1), "DBD202403010001");  // the current bill
  Mark({"DBD202403010001"});
  ui.ModalLoop = [&](FormModel&) { db.Run({"update ckdbdzkmx set dw='包' where lsh='DBD202403010001'"}); };
  browser.Click("修改");
  ui.QueueAnswer(mb::kYes);
  browser.Click("删除");
  EXPECT_EQ(db.Value("select count(*) from ckdbdzk where lsh='DBD202403010001'"), "1");
}

// The clerk audits a marked bill in the editor after its in-warehouse stopped keeping goods places,
// which drops the lines' place rows: the mark stands for the lines as the audit left them, and
// 记账 posts the bill.
TEST_F(BrowserCommandsTest, AMarkedBillAuditedInTheEditorIsPostedAsTheAuditLeftIt) {
  RegisterEmbeddedProcedures();
  Mark({"DBD202403010002"});
  browser.SelectRow(FrmStoreAdjuctBillBrow::kGrid, RowOf("DBD202403010002"));
  ui.ModalLoop = [&](FormModel& editor) {
    db.Run({"update gl_stock set FDeleted=0 where id='05'"});
    ui.QueueAnswer(mb::kYes);
    editor.Click("审核");
  };
  browser.Click("修改");
  ASSERT_EQ(db.Value("select count(*) from BillGoodsPlace where BillGuid='DBD202403010002'"), "0");
  ui.QueueAnswer(mb::kYes);
  browser.Click("记账");
  EXPECT_EQ(db.Value("select str(isnull(shbz,0),1)+str(isnull(jzbz,0),1) from ckdbdzk where lsh='DBD202403010002'"), "11");
}

// Another clerk changes a marked bill after it was marked: its lines, its warehouses (the list still
// showing the old ones), or its header alone (a line save writes the header, leaving the lines as
// they were). Each marked command keeps that bill as it is, moves no stock, and names it.
TEST_F(BrowserCommandsTest, AMarkedBillChangedSinceItWasMarkedIsKeptAndNamed) {
  RegisterEmbeddedProcedures();
  db.Run({"update ckdbdzk set shbz=1 where lsh='DBD202403010001'"});
  browser.RefreshList();
  const auto stateOf = [&](const std::string& lsh) {
    const std::string where = " from ckdbdzk where lsh='" + lsh + "'";
    return db.Value("select count(*)" + where) + "/" + db.Value("select shbz" + where) + "/" + db.Value("select jzbz" + where);
  };
  const auto stock = [&] {  // 0005, which DBD202403020004 moves from 03 to 02
    std::string held;
    for (const char* w : {"01", "02", "03"}) held += db.Value(std::string("select sum(sl) from phk where hh='0005' and stockid='") + w + "'") + "|";
    return held;
  };
  const std::string stockBefore = stock();
  const std::string changedLines = "本单据的明细已被他人修改，本次操作未做任何改变，请重新操作！";
  struct Change {
    const char* command;
    std::string lsh;
    std::vector<std::string> sql;
    std::string told;
  };
  const Change changes[] = {
      {"记账", "DBD202403010001", {"update ckdbdzkmx set bz='记账' where lsh='DBD202403010001' and dh='1001'"},
       "流水号为:DBD202403010001\n" + changedLines},
      {"过账", "DBD202403010001", {"update ckdbdzkmx set bz='过账' where lsh='DBD202403010001' and dh='1001'"},
       "以下单据未能过账:\nDBD202403010001: " + changedLines},
      {"记账", "DBD202403010001", {"update ckdbdzk set kdrq='2024-03-09' where lsh='DBD202403010001'"}, "已被他人修改"},
      {"过账", "DBD202403010001", {"update ckdbdzk set bz='另一位操作员改过' where lsh='DBD202403010001'"}, "已被他人修改"},
      {"审核", "DBD202403020004", {"update ckdbdzk set kdrq='2024-03-09' where lsh='DBD202403020004'"}, "已被他人修改"},
      {"删除", "DBD202403020004", {"update ckdbdzk set bz='改过' where lsh='DBD202403020004'"}, "已被他人修改"},
      {"审核", "DBD202403020004",
       {"update ckdbdzk set dcstockid='01',drstockid='03' where lsh='DBD202403020004'",
        "update ckdbdzkmx set dcstockid='01',drstockid='03' where lsh='DBD202403020004'"},
       "DBD202403020004: " + changedLines},
      {"删除", "DBD202403010002", {"update ckdbdzkmx set bz='另一位操作员改过' where lsh='DBD202403010002'"},
       "流水号为:DBD202403010002\n此单据的明细在选定后已被他人修改，没有删除，请查看后重新选定！"},
  };
  for (const Change& change : changes) {
    Mark({change.lsh.c_str()});
    const std::string before = stateOf(change.lsh);
    for (const std::string& sql : change.sql) db.Run({sql});
    const std::size_t boxes = ui.Boxes().size();
    ui.QueueAnswer(mb::kYes);
    browser.Click(change.command);
    EXPECT_EQ(stateOf(change.lsh), before) << change.command << " " << change.lsh;
    ASSERT_EQ(ui.Boxes().size(), boxes + 2) << ShownBoxes(ui);  // the question, then the bill named
    EXPECT_NE(ui.Boxes().back().text.find(change.told), std::string::npos) << ui.Boxes().back().text;
    EXPECT_NE(ui.Boxes().back().text.find(change.lsh), std::string::npos) << ui.Boxes().back().text;
  }
  EXPECT_EQ(stock(), stockBefore);
}

// Another clerk audits a marked bill first, while the site asks for approval: the bill is named as
// audited, not sent back to an approval flow it has no more use for.
TEST_F(BrowserCommandsTest, ABillAuditedMeanwhileIsNamedAsAuditedBeforeItsApprovalIsAsked) {
  RegisterEmbeddedProcedures();
  db.Run({"update BillApprovalSwitch set Enabled=1 where BillTypeCode='000022'"});
  Mark({"DBD202403020004"});
  db.Run({"update ckdbdzk set shbz=1 where lsh='DBD202403020004'"});
  ui.QueueAnswer(mb::kYes);
  browser.Click("审核");
  EXPECT_EQ(ShownBoxes(ui), "324 系统提示|确实要审核所选单据吗?\n48 系统提示|以下单据未能审核:\nDBD202403020004: 单据已审核\n");
}

// Marked bills audited one by one: one failing half-way (its header cannot be written) moves no
// stock and is named, the others are audited, and goods issued from a warehouse switched to goods
// places while no place held them are named, as the editor names them.
TEST_F(BrowserCommandsTest, EachMarkedBillIsAuditedWholeOrNotAtAllAndUnplacedGoodsAreNamed) {
  RegisterEmbeddedProcedures();
  db.Run({"update gl_stock set FDeleted=1 where id='01'"});
  db::SqliteFile(db.Path()).Execute("create trigger keep_0001 before update on ckdbdzk when new.lsh='DBD202403010001' "
                                    "begin select raise(abort, 'header locked'); end");
  const std::string stock = "select sum(sl) from phk where hh in ('0001','0003','0014') and stockid='02'";
  const std::string before = db.Value(stock);
  Mark({"DBD202403010001", "DBD202403010002", "DBD202403020004"});
  ui.QueueAnswer(mb::kYes);
  browser.Click("审核");
  EXPECT_EQ(db.Value(stock), before);
  EXPECT_EQ(db.Count("select count(*) from ckdbdzk where shbz=1 and lsh in ('DBD202403010002','DBD202403020004')"), 2);
  EXPECT_EQ(db.Count("select count(*) from ckdbdzk where shbz=1 and lsh='DBD202403010001'"), 0);
  EXPECT_EQ(ShownBoxes(ui), "324 系统提示|确实要审核所选单据吗?\n48 系统提示|以下单据未能审核:\nDBD202403010001: header locked\n"
                            "64 系统提示|以下单据已审核,出库数量没有足够的货位可分配(流水号: 货号 未分配数量):\n"
                            "DBD202403010002: 0021 5.5\nDBD202403010002: 0022 4\n");
}

// In the two-step flow an audited bill waits for its confirmation: posting it names that step, in
// the browser's 记账 as in the editor, while a bill not audited (its flag listed as 0, never blank)
// still names its audit.
TEST_F(BrowserCommandsTest, PostingAnAuditedTwoStepBillSaysItWaitsForItsConfirmation) {
  db.Run({"update t_SystemProfile set FValue='1' where FCategory='GL' and FKey='StartStoreAdjustOK'",
          "update ckdbdzk set PreShbz=1 where lsh='DBD202403010002'"});
  FrmStoreAdjuctBillBrow twoStep{session};
  twoStep.Load();
  EXPECT_EQ(twoStep.ListGrid().TextMatrix(1, 9) + twoStep.ListGrid().TextMatrix(2, 9), "01");
  for (long row = 1; row <= 2; ++row) twoStep.ListGrid().SetMarked(row, true);  // DBD202403010001, -0002
  ui.QueueAnswer(mb::kYes);
  twoStep.Click("记账");
  FrmStoreAdjuctBill editor{session, {EditorRequest::Mode::Amend, "DBD202403010002"}};
  editor.Load();
  ui.QueueAnswer(mb::kYes);
  editor.Click("记帐");
  EXPECT_EQ(ShownBoxes(ui), "324 系统提示|你确实要将所选单据记账吗?\n"
                            "64 系统提示|流水号为:DBD202403010001的单据记帐不成功,可能的原因是单据还没有审核!\n"
                            "流水号为:DBD202403010002的单据记帐不成功,可能的原因是单据还没有确认!\n"
                            "324 系统提示|确实要记帐吗?\n"
                            "64 系统提示|流水号为:DBD202403010002的单据记帐不成功,可能的原因是单据还没有确认!\n");
}

// The editor prints its own bill from the lower-case tables, tells a print that fails (the bill
// deleted by another clerk meanwhile) and ignores a reprint that fails.
TEST_F(BrowserCommandsTest, TheEditorPrintsItsOwnBillTellsAFailedPrintAndIgnoresAFailedReprint) {
  FrmStoreAdjuctBill editor{session, {EditorRequest::Mode::Amend, "DBD202403010002"}};
  editor.Load();
  editor.Click("Cmd_Print");
  ASSERT_EQ(ui.prints.size(), 1u);
  EXPECT_EQ(ui.prints[0].serials, "DBD202403010002");
  EXPECT_EQ(ui.prints[0].connection, session.Conn);
  ui.failure = adodb::Error(adodb::errnum::kProviderError, "重打组件不可用");
  editor.Click("重打");
  EXPECT_EQ(ui.reprints.size(), 1u);
  EXPECT_EQ(ShownBoxes(ui), "");
  EXPECT_TRUE(editor.IsOpen());
  db.Run({"delete from ckdbdzk where lsh='DBD202403010002'"});
  editor.Click("Cmd_Print");
  EXPECT_EQ(ShownBoxes(ui), "64 系统提示|流水号为:DBD202403010002的单据不存在!\n");
}

TEST(BrowserListQueryTest, AnOperatorCodeWithAQuoteStaysOneLiteral) {
  EXPECT_EQ(CompleteBrowserTemplate("czry='[操作人员编号]' or x='[操作人员编号]'", "O'Neil", BrowserLayout::OneStep),
            "czry='O''Neil' or x='O''Neil'");
}

class BillSlipTest : public ::testing::Test {
 protected:
  testsupport::TempDatabase db{testsupport::DemoCopy};
  std::shared_ptr<adodb::Connection> connection = db.Open();
};

// Another clerk deletes the bill between the slip's header and its lines (the statement trace
// deletes it just before the lines are read): the slip is the bill as it stood, not its header
// with no lines. A header left without lines is said to be gone rather than printed empty.
int DeleteBeforeTheLines(unsigned, void* context, void*, void* sql) {
  auto& db = *static_cast<testsupport::TempDatabase*>(context);
  if (std::string_view(static_cast<const char*>(sql)).find("linepm") != std::string_view::npos) {
    db.Run({"delete from ckdbdzkmx where lsh='DBD202403010001'", "delete from ckdbdzk where lsh='DBD202403010001'"});
  }
  return 0;
}
TEST_F(BillSlipTest, ASlipIsTheBillAsItStoodAtOneMomentAndNeverEmpty) {
  sqlite3* handle = dynamic_cast<adodb::SqliteBackend&>(connection->GetBackend()).Handle();
  sqlite3_trace_v2(handle, SQLITE_TRACE_STMT, DeleteBeforeTheLines, &db);
  const auto slips = ReadBillSlips(*connection, "ckdbdzk", "ckdbdzkmx", {"DBD202403010001"});
  sqlite3_trace_v2(handle, 0, nullptr, nullptr);
  EXPECT_EQ(slips.at(0).lines.size(), 3u);
  EXPECT_EQ(db.Count("select count(*) from ckdbdzkmx where lsh='DBD202403010001'"), 0);
  db.Run({"delete from ckdbdzkmx where lsh='DBD202403010002'"});
  EXPECT_EQ(testsupport::ErrorOf([&] { ReadBillSlips(*connection, "ckdbdzk", "ckdbdzkmx", {"DBD202403010002"}); })
                .Description(),
            "流水号为:DBD202403010002的单据不存在!");
  EXPECT_FALSE(connection->InTransaction());
}

// Another clerk issues 1.25 of 当归 off Y01 while the 存量 window reads, just before its places:
// each row's places add up to its quantity, all as they stood at one moment.
int IssueBeforeThePlaces(unsigned, void* context, void*, void* sql) {
  if (std::string_view(static_cast<const char*>(sql)).find("GoodsPlaceBalance") != std::string_view::npos) {
    static_cast<testsupport::TempDatabase*>(context)->Run(
        {"update phk set SL=9.5 where hh='0021' and stockid='05' and dh='200211'",
         "update GoodsPlaceBalance set CurrQuantity=5 where MaterielGuid='0021' and BatchNumber='200211' and "
         "GoodsPlaceNo='Y01'"});
  }
  return 0;
}
TEST_F(BillSlipTest, StockDistributionIsTheStockAsItStoodAtOneMoment) {
  sqlite3* handle = dynamic_cast<adodb::SqliteBackend&>(connection->GetBackend()).Handle();
  sqlite3_trace_v2(handle, SQLITE_TRACE_STMT, IssueBeforeThePlaces, &db);
  const StockDistribution distribution = ReadStockDistribution(*connection, "DBD202403010002");
  sqlite3_trace_v2(handle, 0, nullptr, nullptr);
  std::string shown;
  for (const StockHolding& h : distribution.holdings) {
    if (h.warehouseId == "05" && h.batchLine == "200211") shown = adodb::FormatNumber(h.quantity) + " " + h.goodsPlaces;
  }
  EXPECT_EQ(shown, "10.75 Y01:6.25 Y02:4.5");
}

// A line's places are those of its own goods and batch (rows a deleted line left under its number
// are not), and places planned in an in-warehouse that keeps none now are not where it will be laid;
// once received, the slip shows where it was laid.
TEST_F(BillSlipTest, ALineShowsThePlacesOfItsGoodsAndBatchWhereTheyAreOrWillBeLaid) {
  const auto places = [&] {
    std::string shown;
    const auto slips = ReadBillSlips(*connection, "ckdbdzk", "ckdbdzkmx", {"DBD202403010002"});
    for (const auto& line : slips.at(0).lines) shown += line.goodsPlaces + "|";
    return shown;
  };
  db.Run({"update ckdbdzkmx set hh='0023',ph='230422',pcdh='200231' where lsh='DBD202403010002' and dh='1002'"});
  EXPECT_EQ(places(), "入 Y01:3.50 Y02:2.00||");
  db.Run({"update gl_stock set FDeleted=0 where id='05'"});
  EXPECT_EQ(places(), "||");
  db.Run({"update ckdbdzk set shbz=1 where lsh='DBD202403010002'"});
  EXPECT_EQ(places(), "入 Y01:3.50 Y02:2.00||");
  // Keys another program stored padded are the keys they pad, as the database compares them.
  db.Run({"update ckdbdzkmx set dh='1001 ' where lsh='DBD202403010002' and dh='1001'"});
  EXPECT_EQ(places(), "入 Y01:3.50 Y02:2.00||");
}

// 存量 shows the places of a batch whose warehouse or batch line another program stored padded.
TEST_F(BillSlipTest, StockDistributionFindsThePlacesOfKeysStoredWithTrailingBlanks) {
  db.Run({"update GoodsPlaceBalance set WarehouseGuid='05 ' where MaterielGuid='0021' and GoodsPlaceNo='Y02'",
          "update phk set DH='200211  ' where hh='0021' and stockid='05' and dh='200211'"});
  std::string shown;
  for (const StockHolding& h : ReadStockDistribution(*connection, "DBD202403010002").holdings) {
    if (h.warehouseId == "05" && adodb::Trimmed(h.batchLine) == "200211") shown += h.goodsPlaces + "|";
  }
  EXPECT_EQ(shown, "Y01:6.25 Y02:4.5|");
}

// The reprint list's filter: a quote, Chinese and LIKE's wildcards typed by the clerk are plain
// text, and the date range takes both of its days whole, whichever way round its ends are set.
TEST_F(BillSlipTest, TheReprintListsSerialFilterTakesTypedTextLiterally) {
  db.Run({"insert into ckdbdzk (lsh, kdrq) values ('A''B_1%', '2024-03-04')",
          "insert into ckdbdzk (lsh, kdrq) values ('A''BX1', '2024-03-04')",
          "insert into ckdbdzk (lsh, kdrq) values ('调''拨1', '2024-02-10 18:30:00')",
          "insert into ckdbdzk (lsh, kdrq) values ('调''拨2', '2024-02-11')",
          "insert into ckdbdzk (lsh, kdrq) values ('明日', '2024-03-06 09:00:00')"});
  ReprintRequest request;
  request.connectionString = db.ConnStr();
  request.sysDate = "2024-03-05";
  ReprintList list(request);
  list.SetSerialFilter("明日");  // by default this month's bills, one dated after the business date too
  EXPECT_EQ(Listed(list), "明日 ");
  list.SetSerialFilter("'B_1%");
  EXPECT_EQ(Listed(list), "A'B_1% ");
  list.SetSerialFilter("[");
  EXPECT_EQ(Listed(list), "");
  list.SetSerialFilter("调'拨");
  list.SetDateRange(adodb::Date{2024, 2, 10}, adodb::Date{2024, 2, 10});
  EXPECT_EQ(Listed(list), "调'拨1 ");
  list.SetDateRange(adodb::Date{2024, 2, 11}, adodb::Date{2024, 2, 10});  // ends the wrong way round
  EXPECT_EQ(Listed(list), "调'拨1 调'拨2 ");
  list.SetDateRange(adodb::Date{2024, 2, 11}, adodb::Date{9999, 12, 31});  // the picker's far end
  EXPECT_EQ(Listed(list), "调'拨2 ");
  list.SetDateRange(std::nullopt, std::nullopt);
  EXPECT_EQ(Listed(list), "调'拨1 调'拨2 ");

  // States read as the editor reads them in the site's mode: received in one step after a
  // two-step issue is audited, only issued is not yet audited there.
  db.Run({"update ckdbdzk set PreShbz=1, shbz=1 where lsh='A''B_1%'", "update ckdbdzk set PreShbz=1 where lsh='A''BX1'",
          "update ckdbdzk set jzbz=1 where lsh='调''拨1'"});
  const auto states = [&list] {
    list.Refresh();
    std::string named;
    for (const auto& bill : list.Bills()) named += bill.serial + ":" + bill.state + " ";
    return named;
  };
  list.SetSerialFilter("'");
  EXPECT_EQ(states(), "A'B_1%:已审核 A'BX1:已出库 调'拨1:已记帐 调'拨2:未审核 ");
  db.Run({"update t_SystemProfile set FValue='1' where FKey='StartStoreAdjustOK'"});
  EXPECT_EQ(states(), "A'B_1%:已确认 A'BX1:已审核 调'拨1:已记帐 调'拨2:未审核 ");
}

// An empty module database with a session open on it. Raw runs a statement straight through
// SQLite (triggers that make a statement fail).
struct BrowserDatabase : testsupport::TempDatabase {
  // Operator 001 holds the rights the commands read again inside their transactions.
  BrowserDatabase() : TempDatabase(db::CreateEmptyDatabase) {
    Run({"insert into RightModel (guid,RightInfo1) values ('M','记帐,删除')",
         "insert into Operators (Code,Guid,name) values ('001','G1','系统管理员')",
         "insert into rights (RightModelGuid,operatorGuid,RightValue1) values ('M','G1','1,1')"});
    session.ModuleRightGuid = "M";
    session.OptCode = "001";
  }

  void Raw(const std::string& sql) const { db::SqliteFile(Path()).Execute(sql); }

  // A bill with two lines and one goods-place row per line.
  void AddBill(const std::string& quotedLsh, int shbz) const {
    const std::string bill = "'" + quotedLsh + "'";
    Run({"insert into ckdbdzk (lsh, kdrq, dcstockid, drstockid, czry, shbz, jzbz) values (" + bill +
             ", '2024-03-01', '01', '02', '系统管理员', " + std::to_string(shbz) + ", 0)",
         "insert into ckdbdzkmx (lsh, dh, hh, sl) values (" + bill + ", '1001', '0001', 1)",
         "insert into ckdbdzkmx (lsh, dh, hh, sl) values (" + bill + ", '1002', '0003', 2)",
         "insert into BillGoodsPlace (BillType, BillGuid, BillDetailGuid, Quantity) values ('WarehouseIn', " + bill +
             ", '1001', 1)",
         "insert into BillGoodsPlace (BillType, BillGuid, BillDetailGuid, Quantity) values ('WarehouseOut', " + bill +
             ", '1002', 2)"});
  }
  // Header, lines and goods-place rows of the bill, as "h/l/g".
  std::string Parts(const std::string& quotedLsh) const {
    const std::string is = "='" + quotedLsh + "'";
    return std::to_string(Count("select count(*) from ckdbdzk where lsh" + is)) + "/" +
           std::to_string(Count("select count(*) from ckdbdzkmx where lsh" + is)) + "/" +
           std::to_string(Count("select count(*) from BillGoodsPlace where BillGuid" + is));
  }

  ScriptedUserInterface ui;
  Session session = testsupport::OpenSession(*this, ui);
};

class BillActionsTest : public ::testing::Test {
 protected:
  long Posted(const std::string& quotedLsh) {
    return db.Count("select count(*) from ckdbdzk where jzbz=1 and lsh='" + quotedLsh + "'");
  }
  BrowserDatabase db;
};

TEST_F(BillActionsTest, DeletionTakesTheWholeBillAndNeverAnAuditedOne) {
  db.AddBill("DBD0001", 0);
  db.AddBill("O''Neil", 0);  // a serial holding a quote is one literal, not a broken statement
  db.AddBill("DBD0003", 1);
  db.AddBill("DBD0006", 0);
  // Pre-audited in the two-step flow: its issued stock is accounted, so it is audited too.
  db.Raw("update ckdbdzk set PreShbz=1, PreShry='系统管理员' where lsh='DBD0006'");

  EXPECT_EQ(DeleteBill(db.session, "O'Neil"), BillDeletionResult::Deleted);
  EXPECT_EQ(DeleteBill(db.session, "DBD0003"), BillDeletionResult::Audited);
  EXPECT_EQ(DeleteBill(db.session, "DBD0006"), BillDeletionResult::Audited);
  EXPECT_EQ(DeleteBill(db.session, "DBD9999"), BillDeletionResult::NotFound);

  EXPECT_EQ(db.Parts("O''Neil"), "0/0/0");
  for (const char* kept : {"DBD0001", "DBD0003", "DBD0006"}) EXPECT_EQ(db.Parts(kept), "1/2/2") << kept;
  EXPECT_TRUE(db.ui.Boxes().empty());

  // Another clerk deletes the bill, or audits it, or a manager approves it, right after its approval
  // flow answered: the deletion says which, rather than calling a bill that is no more an audited
  // one, and an approved bill stays.
  struct Meanwhile final : DataScopeProvider {
    explicit Meanwhile(std::function<void()> act) : act(std::move(act)) {}
    std::string GetScopeCondition(const std::string&, const std::string&, const std::string&, const std::string&,
                                  const std::string&) override { return {}; }
    std::string SubmitBill(const std::string&, const std::string&, const std::string&, const std::string&,
                           const std::string&, double, double) override { return {}; }
    bool IsApproved(const std::string&, const std::string&, const std::string&) override { return true; }
    void IsBillEditable(const std::string& connStr, const std::string& type, const std::string& lsh,
                        bool& editable) override {
      EmbeddedDataScopeProvider().IsBillEditable(connStr, type, lsh, editable);
      if (act) std::exchange(act, {})();
    }
    std::function<void()> act;
  };
  const auto meanwhile = [](std::function<void()> act) {
    return SetDataScopeProviderFactory([act] { return std::make_unique<Meanwhile>(act); });
  };
  const DataScopeProviderFactory embedded = meanwhile([&] { db.Raw("delete from ckdbdzk where lsh='DBD0001'"); });
  EXPECT_EQ(DeleteBill(db.session, "DBD0001"), BillDeletionResult::NotFound);
  db.AddBill("DBD0007", 0);
  meanwhile([&] { db.Raw("update ckdbdzk set shbz=1 where lsh='DBD0007'"); });
  EXPECT_EQ(DeleteBill(db.session, "DBD0007"), BillDeletionResult::Audited);
  db.AddBill("DBD0008", 0);
  db.Raw("insert into BillApprovalSwitch (BillTypeCode, Enabled) values ('000022', 1)");
  meanwhile([&] { db.Raw("insert into BillApproval (BillTypeCode, BillGuid, Status) values ('000022', 'DBD0008', 'approved')"); });
  EXPECT_EQ(DeleteBill(db.session, "DBD0008"), BillDeletionResult::HeldByApproval);
  SetDataScopeProviderFactory(embedded);
  EXPECT_EQ(db.Parts("DBD0007"), "1/2/2");
  EXPECT_EQ(db.Parts("DBD0008"), "1/2/2");
}

TEST_F(BillActionsTest, PostingTakesAuditedBillsAndNamesTheOthersInOrder) {
  db.AddBill("DBD0001", 1);
  db.AddBill("DBD0002", 0);
  db.AddBill("O''Neil", 1);
  db.AddBill("DBD0004", 0);

  auto notPosted = PostMarkedBills(db.session, {"DBD0004", "DBD0001", "O'Neil", "DBD0002", "GONE"});

  EXPECT_EQ(notPosted.notAudited, (std::vector<std::string>{"DBD0004", "DBD0002"}));
  EXPECT_EQ(testsupport::Fields(Posted("DBD0001"), Posted("O''Neil"), Posted("DBD0002"), Posted("DBD0004")), "1|1|0|0|");
  EXPECT_EQ(NotPostedMessage(notPosted), "流水号为:DBD0004,DBD0002的单据记帐不成功,可能的原因是单据还没有审核!\n"
                                         "流水号为:GONE的单据已不存在,没有记帐!");
  // Marking the whole list names no more bills than a box can show.
  BillsNotPosted many;
  for (int bill = 1; bill <= 21; ++bill) many.notAudited.push_back(std::to_string(bill));
  EXPECT_EQ(NotPostedMessage(many), "流水号为:1,2,3,4,5,\n6,7,8,9,10,\n11,12,13,14,15,\n16,17,18,19,20…(共21张)的单据记帐不成功,"
                                    "可能的原因是单据还没有审核!");
  const std::string refused = RefusedBillsText("以下单据未能审核:", many.notAudited);
  EXPECT_TRUE(refused.ends_with("\n19\n20\n…(共21张)")) << refused;
}

TEST_F(BillActionsTest, AFailureInsideRollsTheWholeDeletionOrPostingBack) {
  db.AddBill("DBD0001", 1);
  db.AddBill("DBD0002", 1);
  db.AddBill("DBD0004", 0);
  db.Raw("create trigger keep_places before delete on BillGoodsPlace begin select raise(abort, 'places locked'); end");
  db.Raw("create trigger stop_second before update on ckdbdzk when old.lsh='DBD0002' "
         "begin select raise(abort, 'bill locked'); end");

  const adodb::Error error = testsupport::ErrorOf([&] { DeleteBill(db.session, "DBD0004"); });
  EXPECT_NE(error.Description().find("places locked"), std::string::npos) << error.Description();
  EXPECT_EQ(db.Parts("DBD0004"), "1/2/2");
  EXPECT_TRUE(db.ui.Boxes().empty());  // the browser shows it, once

  EXPECT_THROW(PostMarkedBills(db.session, {"DBD0001", "DBD0002"}), adodb::Error);
  EXPECT_EQ(Posted("DBD0001"), 0);
  EXPECT_FALSE(db.session.Conn->InTransaction());
}

// Goods kept without batches count from their current balance only (not a period's, not a past
// year's); goods twice on the bill are listed once, empty batches and goods the bill does not move
// not at all. Each row says its unit; places left in a warehouse that keeps none are not shown.
TEST_F(BillActionsTest, StockDistributionListsTheBillsGoodsOnceWithAndWithoutBatches) {
  db.Run({"insert into gl_stock (id, name, FDeleted) values ('01', '总仓', 0)",
          "insert into yw_kck (hh, pm, pdw) values ('0021', '当归', '克'), ('0040', '零货', '千克')",
          "insert into GoodsPlaceBalance (GoodsPlaceGuid, GoodsPlaceNo, WarehouseGuid, MaterielGuid, BatchNo, "
          "BatchNumber, CurrQuantity) values ('g1', 'Y01', '01', '0021', '230208', '200211', 13.5)",
          "insert into ckdbdzk (lsh, kdrq, dcstockid, drstockid) values ('O''Neil', '2024-03-01', '01', '05')",
          "insert into ckdbdzkmx (lsh, dh, hh, sl) values ('O''Neil', '1001', '0021', 1), ('O''Neil', '1002', '0040', "
          "1), ('O''Neil', '1003', '0021', 2)",
          "insert into phk (HH, PH, DH, StockID, SL, xq) values ('0021', '230208', '200211', '01', 13.5, '2025-02-08'), "
          "('0021', '220101', '200210', '01', 0, '2024-01-01'), ('0099', '230101', '200991', '01', 7, '2025-01-01')",
          "insert into ywbalance (hh, stockid, fperiod, fyear, sjsl) values ('0040', '01', 0, 0, 12), "
          "('0040', '05', 2, 2024, 30), ('0040', '05', 0, 2023, 30), ('0021', '01', 0, 0, 13.5)"});
  const StockDistribution distribution = ReadStockDistribution(*db.session.Conn, "O'Neil");
  ASSERT_TRUE(distribution.billHasLines);
  std::vector<std::string> rows;
  for (const StockHolding& h : distribution.holdings) {
    rows.push_back(h.goodsNumber + "|" + h.goodsName + "|" + h.warehouseId + "|" + h.warehouseName + "|" + h.batch +
                   "|" + adodb::FormatNumber(h.quantity) + "|" + h.expiry.TextOrEmpty().substr(0, 10) + "|" +
                   h.goodsPlaces);
  }
  EXPECT_EQ(rows, (std::vector<std::string>{"0021|当归|01|总仓|230208|13.5|2025-02-08|", "0040|零货|01|总仓||12||"}));
  // The window shows the quantities at the site's places, as the editor's grid does, in the unit.
  FrmStockDistribution window("O'Neil", distribution.holdings, NumberPlaces{2, 4});
  EXPECT_EQ(window.Grid(FrmStockDistribution::kGrid)->ShownText(1, 6), "13.50");
  EXPECT_EQ(window.Grid(FrmStockDistribution::kGrid)->ShownText(2, 10), "千克");
  // Enter in the grid leaves the window open; on 关闭 it closes it, as a click does.
  window.Load();
  window.KeyDown(FrmStockDistribution::kGrid, key::kReturn, 0);
  EXPECT_TRUE(window.IsOpen());
  window.KeyDown("Cmd_Close", key::kReturn, 0);
  EXPECT_FALSE(window.IsOpen());
}

}  // namespace
}  // namespace storeadjust
