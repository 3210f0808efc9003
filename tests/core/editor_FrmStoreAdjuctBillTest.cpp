// The editor on the demo database, driven as the clerk drives it: the retail total of an
// amount-only line without a price, failures that must reach the clerk instead of leaving a field
// or a command that did nothing, and a long bill whose audit shows the line it is moving. Loading,
// numbering, batch prices, the approval procedure's warning and refusal are played in the editor,
// lines and states scenarios; the figures a line is stored with (a finer unit, lines another
// program stored, F3 with Enter through every field, goods renamed since) by the entry property test.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "browse/FrmStoreAdjuctBillBrow.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "editor/GoodsLookup.h"
#include "editor/WarehouseLookup.h"
#include "host/BillSlip.h"
#include "host/EmbeddedDataScopeProvider.h"
#include "host/EmbeddedProcedures.h"
#include "host/KeyCodes.h"
#include "lines/BatchChoice.h"
#include "lines/GoodsPlaceAllocation.h"
#include "support/DemoCopy.h"
#include "support/ModuleSession.h"
#include "support/StockTables.h"

namespace storeadjust {
namespace {

using testsupport::ShownBoxes;

struct ProgressRecorder : ScriptedUserInterface {
  void ShowProgress(const std::string& text, long done, long total) override {
    steps.push_back(text + "|" + std::to_string(done) + "/" + std::to_string(total));
  }
  // Another clerk's (or a manager's) work, done on a connection of its own while the editor waits
  // for the first box or dialog it shows.
  int MsgBox(const std::string& text, int buttons, const std::string& title) override {
    if (meanwhile) std::exchange(meanwhile, {})();
    return ScriptedUserInterface::MsgBox(text, buttons, title);
  }
  GoodsPlaceAnswer ShowGoodsPlaces(const GoodsPlaceRequest& request) override {
    placesShown.push_back(request);
    if (meanwhile) std::exchange(meanwhile, {})();
    return ScriptedUserInterface::ShowGoodsPlaces(request);
  }
  long ChooseRow(const SelectionRequest& request, adodb::Recordset& rows) override {
    heldRows += std::to_string(request.heldRowPosition) + " ";
    if (keepsHeld) return request.heldRowPosition > 0 ? request.heldRowPosition : rows.RecordCount() == 1 ? 1 : 0;
    return ScriptedUserInterface::ChooseRow(request, rows);
  }
  std::vector<std::string> steps;
  std::vector<GoodsPlaceRequest> placesShown;
  std::string heldRows;  // the row each shown selection dialog offered as the one held
  std::function<void()> meanwhile;
  bool keepsHeld = false;  // every list closed on the row it holds (the only row of a one-row list)
};

class EditorTest : public ::testing::Test {
 protected:
  void Open(const std::string& lsh) {
    RegisterEmbeddedProcedures();  // the audit's approval procedure, as Execute registers it
    form_ = std::make_unique<FrmStoreAdjuctBill>(session_, EditorRequest{EditorRequest::Mode::Amend, lsh});
    form_->Load();
  }
  void OpenNewBill() {
    form_ = std::make_unique<FrmStoreAdjuctBill>(session_, EditorRequest{});
    form_->Load();
    form_->FireTimers();
    form_->Type("TxtBcCkID", "01");
    form_->Type("txtBrCKid", "02");
  }
  // The first column of every row the statement returns, joined by ",".
  std::string Found(const BoundSql& statement) {
    auto rs = session_.Conn->OpenRecordset(statement.text, statement.values);
    std::string found;
    for (rs->MoveFirst(); rs->RecordCount() > 0 && !rs->EOF(); rs->MoveNext()) {
      found += (found.empty() ? "" : ",") + rs->Value(std::size_t{0}).TextOrEmpty();
    }
    return found;
  }
  void Enter(const std::string& field, const std::string& text) {
    form_->Type(field, text);
    form_->KeyDown(field, key::kReturn);
  }
  // Line `dh` of DBD202403010001 as stored: quantity as entered, base quantity, unit, price, amounts.
  std::string StoredLine(const std::string& dh) {
    return db_.Value("select cast(srsl as varchar)+' '+cast(sl as varchar)+' '+dw+' '+cast(dj as varchar)+' '+"
                     "cast(je as varchar)+' '+cast(lsze as varchar) from ckdbdzkmx where lsh='DBD202403010001' and dh='" +
                     dh + "'");
  }
  // F3 on the lines grid's `row`.
  void TakeLine(long row) {
    form_->SelectRow("VfgContent", row);
    form_->KeyDown("VfgContent", key::kF1 + 2);
  }
  // The fields' texts, a blank between each.
  std::string Shown(std::initializer_list<const char*> fields) {
    std::string shown;
    const char* separator = "";
    for (const char* field : fields) shown += std::exchange(separator, " ") + form_->Text(field);
    return shown;
  }
  // Enter in `field`, as the clerk presses it there.
  void EnterIn(const char* field) {
    form_->SetFocus(field);
    form_->KeyDown(field, key::kReturn);
  }
  // Enter from field to field, each list on the row it holds, up to 保 存.
  void EnterThroughToSave() {
    ui_.keepsHeld = true;
    for (int key = 0; key < 12 && form_->Focus() != "Cmd_Save"; ++key) form_->KeyDown(form_->Focus(), key::kReturn);
  }
  // ... and 保 存 pressed.
  void EnterThroughAndSave() {
    EnterThroughToSave();
    form_->Click("Cmd_Save");
  }

  testsupport::TempDatabase db_{testsupport::DemoCopy};
  ProgressRecorder ui_;
  Session session_ = testsupport::OpenEditorSession(db_, ui_);
  std::unique_ptr<FrmStoreAdjuctBill> form_ = std::make_unique<FrmStoreAdjuctBill>(session_, EditorRequest{});
};

// Goods kept by amount only take the amount typed; the retail total follows as amount over price,
// and with no price to divide by it is left as it was for the clerk to type.
TEST_F(EditorTest, AnAmountOnlyLineWithoutAPriceLeavesTheRetailTotalToTheClerk) {
  OpenNewBill();
  Enter("TxtHH", "0040");
  EXPECT_FALSE(form_->Control("TxtLsze").locked);
  form_->KeyDown("TxtDj", key::kReturn);
  Enter("TxtJe", "14");
  EXPECT_EQ(form_->Text("TxtLsze"), "20");
  form_->Type("TxtDj", "0");
  Enter("TxtJe", "9");
  EXPECT_EQ(form_->Text("TxtLsze"), "20");
  EXPECT_EQ(form_->Focus(), "TxtLsze");
  EXPECT_DOUBLE_EQ(form_->Entry().amount, 9);
  EXPECT_EQ(ShownBoxes(ui_), "");
}

// Goods kept by amount only move their amount alone at the audit: a quantity typed with such a
// line was listed and printed beside a stock it never moved. The line carries none.
TEST_F(EditorTest, AnAmountOnlyLineCarriesNoQuantityAndItsAuditMovesTheAmount) {
  OpenNewBill();
  Enter("TxtHH", "0040");
  EXPECT_TRUE(form_->Control("TxtSl").locked);
  form_->KeyDown("TxtDj", key::kReturn);
  Enter("TxtJe", "14");
  EnterIn("TxtSl");  // locked: Enter goes on to the amount, judging nothing, the amount as typed
  EXPECT_EQ(form_->Focus() + " " + Shown({"TxtJe", "TxtLsze"}), "TxtJe 14 20");
  form_->Type("TxtSl", "5");
  form_->Click("Cmd_Save");
  const std::string lsh = form_->Text("TxtLSH");
  const std::string line = "select cast(srsl as varchar)+' '+cast(sl as varchar)+' '+cast(je as varchar)+' '+"
                           "cast(lsze as varchar) from ckdbdzkmx where lsh='" + lsh + "'";
  EXPECT_EQ(db_.Value(line), "0 0 14 20");
  // Stored by another program as 3 包; taken with F3 into 袋, it is entered anew: no quantity shown or stored.
  db_.Run({"insert into t_MeasureUnit(hh,FMeasureUnitID,FName,FCoefficient,FDefault,FDeleted) values "
           "('0040','01','包',5,1,0),('0040','02','袋',2,0,0)",
           "update ckdbdzkmx set srsl=3, sl=15, dw='包' where lsh='" + lsh + "'"});
  Open(lsh);
  TakeLine(1);
  ui_.QueueChoice(2);
  EnterIn("txtJl");
  EXPECT_EQ(Shown({"TxtSl", "txtDw", "TxtJe"}), "0 袋 14");
  form_->Click("Cmd_Save");
  EXPECT_EQ(db_.Value(line), "0 0 14 20");
  ui_.QueueAnswer(mb::kYes);
  form_->Click("审核");
  EXPECT_EQ(Found({"select stockid+' '+cast(sjsl as varchar)+' '+cast(sjje as varchar) from ywbalance where "
                   "hh='0040' and fperiod=0 order by stockid", {}}),
            "01 0 846,02 0 14,05 0 320");
  EXPECT_EQ(ShownBoxes(ui_), "324 系统提示|确实要审核此单据吗?\n");
}

// Another clerk deleted the bill on screen and made one anew under its serial (its maker is his):
// the line is not stored among lines this clerk never saw.
TEST_F(EditorTest, ALineIsNotSavedIntoABillMadeAnewUnderTheSerialShown) {
  Open("DBD202403010001");
  db_.Run({"delete from ckdbdzkmx where lsh='DBD202403010001'", "update ckdbdzk set czry='王五' where lsh='DBD202403010001'"});
  Enter("TxtHH", "0040");
  form_->KeyDown("TxtDj", key::kReturn);
  Enter("TxtJe", "14");
  form_->Click("Cmd_Save");
  EXPECT_EQ(ShownBoxes(ui_), "48 系统提示|流水号为[DBD202403010001]的单据已被其他操作员删除,没有保存!\n");
  EXPECT_EQ(db_.Value("select count(*) from ckdbdzkmx where lsh='DBD202403010001'"), "0");
}

// A bill opened starts on its first line, which F3 and Del act on: the panel shows its goods, not
// the last line's beside it.
TEST_F(EditorTest, ABillOpensWithThePanelOnTheLineTheGridIsOn) {
  Open("DBD202403010001");
  const GridModel& lines = *form_->Grid("VfgContent");
  ASSERT_EQ(lines.Row, 1);
  EXPECT_EQ(form_->Grid("VfgSpxx")->TextMatrix(1, 0), lines.TextMatrix(1, 3));
}

// A figure left is shown as the line keeps it and the grid gives it back: never a negative zero,
// which the desktop padded to "-0.00" beside a stored 0, nor a sign, blank or exponent typed.
TEST_F(EditorTest, AFigureLeftShowsInThePlainFormTheLineKeepsIt) {
  OpenNewBill();
  Enter("TxtHH", "0040");
  for (const auto& [typed, shown] : std::vector<std::pair<std::string, std::string>>{
           {"-0", "0"}, {"-0.00", "0"}, {"+1", "1"}, {" 1", "1"}, {"1e3", "1000"}, {".5", "0.5"}, {"007", "7"},
           {"-25.10", "-25.10"}}) {
    form_->SetFocus("TxtJe");
    form_->Type("TxtJe", typed);
    form_->SetFocus("TxtLsze");
    EXPECT_EQ(form_->Text("TxtJe"), shown) << typed;
    EXPECT_DOUBLE_EQ(form_->Entry().amount, std::stod(shown)) << typed;
  }
}

// Transfers without prices store price and amount as 0: neither field takes a figure the line
// would not keep.
TEST_F(EditorTest, TransfersWithoutPricesLockThePriceAndTheAmount) {
  OpenNewBill();
  EXPECT_FALSE(form_->Control("TxtDj").locked);
  EXPECT_FALSE(form_->Control("TxtJe").locked);
  db_.Run({"update t_SystemProfile set FValue='1' where FKey='ISCKDBDDJ'"});
  OpenNewBill();
  EXPECT_TRUE(form_->Control("TxtDj").locked);
  EXPECT_TRUE(form_->Control("TxtJe").locked);
}

// A failed scope would otherwise list every warehouse or goods unrestricted; a broken site template
// would leave a field that did nothing.
TEST_F(EditorTest, AScopeThatCannotBeReadOrABrokenTemplateListsNothingAndSaysSo) {
  OpenNewBill();
  form_->GoodsSelectSql = "select hh from no_such_table where 1=1 [选择条件]";
  Enter("TxtHH", "0006");
  EXPECT_EQ(form_->Text("TxtHH"), "0006");
  ASSERT_EQ(ui_.Boxes().size(), 1u);
  EXPECT_NE(ui_.Boxes()[0].text.find("no_such_table"), std::string::npos);

  const std::string before = ShownBoxes(ui_);
  db_.Run({"drop table DataScopeItem"});  // the scope component cannot answer
  form_->Type("TxtBcCkID", "");
  EnterIn("TxtBcCkID");
  EXPECT_EQ(form_->Focus(), "txtBrCKid");
  form_->Type("TxtBcCkID", "01");
  form_->KeyDown("TxtHH", key::kF1 + 6);
  EXPECT_EQ(ShownBoxes(ui_), before + "48 提示:|no such table: DataScopeItem\n48 提示:|no such table: DataScopeItem\n");
  EXPECT_FALSE(ui_.HasQueued());
}

TEST_F(EditorTest, LoadFailuresShowTheirMessageAndPrepareNoBill) {
  const std::string noCurrentRecord = "16 错误:|Either BOF or EOF is True, or the current record has been deleted. "
                                      "Requested operation requires a current record.\n数据添加失败,请与管理员联系！\n";
  // A serial without lines, holding a quote, and a bill whose out-warehouse is gone.
  Open("NO'SUCH");
  db_.Run({"update ckdbdzk set dcstockid='99' where lsh='DBD202403010001'"});
  std::string lsh = "DBD202403010001";
  form_->AmendAddNew(lsh);
  EXPECT_EQ(ShownBoxes(ui_), noCurrentRecord + noCurrentRecord);

  ScriptedUserInterface ui;
  Session session = testsupport::OpenEditorSession(db_, ui);
  session.SysVarRs.reset();
  FrmStoreAdjuctBill form{session, {}};
  form.Load();
  EXPECT_EQ(ShownBoxes(ui), "48 提示：|Operation is not allowed when the object is closed.\n读取数据失败失败,请与管理员联系！\n");
  EXPECT_TRUE(form.IsOpen());
  EXPECT_EQ(form.Text("TxtLSH"), "");
}

// Warehouses typed over a stored bill's header, not saved with a line: the audit would move the
// goods between the stored ones while the clerk answers for those he sees. It is refused, the
// typed text kept; put back, the bill is audited.
TEST_F(EditorTest, AnAuditWithTheHeadersWarehousesTypedOverAndNotSavedIsRefused) {
  Open("DBD202403010001");
  form_->Type("txtBrCKid", "03");
  form_->Click("审核");
  EXPECT_EQ(ShownBoxes(ui_), "64 系统提示|表头的仓库已改动，与已保存明细的仓库(01 → 02)不同，没有审核。请先改回原仓库。\n");
  EXPECT_EQ(form_->Text("txtBrCKid"), "03");
  EXPECT_EQ(db_.Value("select cast(shbz as int) from ckdbdzk where lsh='DBD202403010001'"), "0");
  form_->Type("txtBrCKid", "02");
  ui_.QueueAnswer(mb::kYes);
  form_->Click("审核");
  EXPECT_EQ(db_.Value("select cast(shbz as int) from ckdbdzk where lsh='DBD202403010001'"), "1");
}

// Typed and not saved, the remark and a line go only on the clerk's word: Esc, 退出 and the close
// box ask first, No keeps the editor open as it was. A line only looked at closes at once.
TEST_F(EditorTest, ClosingOverTypedInputNotSavedAsksFirst) {
  Open("DBD202403010001");
  form_->KeyDown("VfgContent", key::kF1 + 2);
  form_->KeyDown("TxtHH", key::kEscape);
  EXPECT_FALSE(form_->IsOpen());
  Open("DBD202403010001");
  form_->Type("TxtBZ", "急件");
  Enter("TxtHH", "0006");
  ui_.QueueChoice(1);
  Enter("TxtSl", "2");
  ui_.QueueAnswer(mb::kNo);
  form_->KeyDown("TxtHH", key::kEscape);
  EXPECT_EQ(ShownBoxes(ui_), "292 提示:|表头的备注和正在录入的明细(货号 0006)还没有保存,退出将丢失这些输入,是否继续？\n");
  EXPECT_TRUE(form_->IsOpen());
  EXPECT_EQ(form_->Text("TxtBZ"), "急件");
  ui_.QueueAnswer(mb::kYes);
  form_->Click("退出");
  EXPECT_FALSE(form_->IsOpen());
  // A new bill keeps nothing before its first line: its remark goes only on the clerk's word too.
  OpenNewBill();
  form_->Type("TxtBZ", "急件");
  ui_.QueueAnswer(mb::kNo);
  form_->KeyDown("TxtHH", key::kEscape);
  EXPECT_TRUE(form_->IsOpen());
}

// A bill with lines keeps its warehouses: the save refused for a warehouse typed over gives the
// bill's own back, and keeps the remark typed with it for the next save.
TEST_F(EditorTest, ASaveRefusedForTypedWarehousesKeepsTheTypedRemark) {
  Open("DBD202403010001");
  form_->Type("TxtBZ", "急件");
  form_->Type("txtBrCKid", "03");
  Enter("TxtHH", "0006");
  ui_.QueueChoice(1);
  Enter("TxtSl", "1");
  form_->Click("Cmd_Save");
  EXPECT_EQ(ShownBoxes(ui_), "48 系统提示|此单据已有明细，不能更改仓库!\n");
  EXPECT_EQ(Shown({"txtBrCKid", "TxtBZ"}), "02 急件");
}

// F2 starts over: a line typed and not saved goes only on the clerk's word, asked once the clerk
// may start a bill at all.
TEST_F(EditorTest, ANewBillOverATypedLineAsksFirst) {
  Open("DBD202403010001");
  Enter("TxtHH", "0006");
  form_->Type("TxtSl", "2");
  const auto addRight = [&](const std::string& flag) {
    db_.Run({"update rights set RightValue1='" + flag + ",1,1,1,1,1' where operatorGuid like '%000000000001}'"});
  };
  addRight("0");
  form_->KeyDown("TxtSl", key::kF1 + 1);
  addRight("1");
  ui_.QueueAnswer(mb::kNo);
  form_->KeyDown("TxtSl", key::kF1 + 1);
  EXPECT_EQ(ShownBoxes(ui_), "48 系统提示|对不起，你没有此权限！\n"
                             "292 提示:|正在录入的明细(货号 0006)还没有保存,新增将丢失这些输入,是否继续？\n");
  EXPECT_EQ(Shown({"TxtLSH", "TxtSl"}), "DBD202403010001 2");
  ui_.QueueAnswer(mb::kYes);
  form_->Click("新增");
  EXPECT_NE(form_->Text("TxtLSH"), "DBD202403010001");
}

// F3 takes a line into the entry row: a line typed there goes only on the clerk's word, while
// header fields typed over stay, for the line's save to store.
TEST_F(EditorTest, AmendingALineKeepsTheTypedHeaderAndAsksBeforeATypedLine) {
  Open("DBD202403010001");
  form_->Type("TxtBZ", "急件");
  form_->Type("DTPKdrq", "2024-03-04");
  form_->KeyDown("VfgContent", key::kF1 + 2);
  EXPECT_EQ(Shown({"TxtHH", "TxtBZ", "DTPKdrq"}), "0001 急件 2024-03-04");
  form_->Click("Cmd_Save");
  EXPECT_EQ(db_.Value("select bz + ' ' + convert(varchar(10),kdrq,120) from ckdbdzk where lsh='DBD202403010001'"),
            "急件 2024-03-04");
  form_->KeyDown("VfgContent", key::kF1 + 2);
  form_->Type("TxtSl", "3");
  ui_.QueueAnswer(mb::kNo);
  form_->KeyDown("VfgContent", key::kF1 + 2);
  EXPECT_EQ(ShownBoxes(ui_), "292 提示:|正在录入的明细(货号 0001)还没有保存,修改将丢失这些输入,是否继续？\n");
  EXPECT_EQ(form_->Text("TxtSl"), "3");
}

// Audited, the bill takes neither a line nor a header any more: a date typed and not saved goes
// only on the clerk's word, and then shows as stored, the date the stock moved on; a line taken
// with F3 leaves the entry row.
TEST_F(EditorTest, AnAuditOverTypedInputNotSavedAsksFirst) {
  Open("DBD202403010001");
  form_->Type("DTPKdrq", "2024-03-04");
  ui_.QueueAnswer(mb::kNo);
  form_->Click("审核");
  EXPECT_EQ(ShownBoxes(ui_), "292 提示:|表头的开单日期还没有保存,审核将丢失这些输入,是否继续？\n");
  EXPECT_EQ(db_.Value("select cast(shbz as int) from ckdbdzk where lsh='DBD202403010001'"), "0");
  form_->KeyDown("VfgContent", key::kF1 + 2);
  ui_.QueueAnswer(mb::kYes);
  ui_.QueueAnswer(mb::kYes);
  form_->KeyDown("TxtHH", key::kF1 + 3);
  EXPECT_EQ(db_.Value("select cast(shbz as int) from ckdbdzk where lsh='DBD202403010001'"), "1");
  EXPECT_EQ(form_->Text("DTPKdrq") + "|" + form_->Text("TxtHH") + form_->Text("TxtSl"), "2024-03-01|");
}

// Posted, the bill leaves the screen for a new one. Audited when it was opened, it took nothing
// typed; audited meanwhile by another clerk, a remark typed over it goes only on the clerk's word,
// asked once: before 确实要记帐吗? when the bill is seen audited, after it when the audit came while
// it was open. Not audited, the bill is refused and keeps the remark: nothing to ask about.
TEST_F(EditorTest, PostingOverTypedInputNotSavedAsksFirst) {
  Open("DBD202403010001");
  form_->Type("TxtBZ", "急件");
  ui_.meanwhile = [&] { db_.Run({"update ckdbdzk set shbz=1 where lsh='DBD202403010001'"}); };
  ui_.QueueAnswer(mb::kYes);
  ui_.QueueAnswer(mb::kNo);
  form_->KeyDown("TxtHH", key::kF1 + 7);
  ui_.QueueAnswer(mb::kNo);
  form_->KeyDown("TxtHH", key::kF1 + 7);
  EXPECT_EQ(ShownBoxes(ui_),
            "324 系统提示|确实要记帐吗?\n292 提示:|表头的备注还没有保存,记帐将丢失这些输入,是否继续？\n"
            "292 提示:|表头的备注还没有保存,记帐将丢失这些输入,是否继续？\n");
  EXPECT_EQ(db_.Value("select cast(jzbz as int) from ckdbdzk where lsh='DBD202403010001'"), "0");
  EXPECT_EQ(form_->Text("TxtBZ"), "急件");
  ui_.QueueAnswer(mb::kYes);
  ui_.QueueAnswer(mb::kYes);
  form_->Click("记帐");
  EXPECT_EQ(db_.Value("select cast(jzbz as int) from ckdbdzk where lsh='DBD202403010001'"), "1");
  EXPECT_EQ(form_->Text("TxtBZ"), "");
}

// Two clerks begin new bills under the same prepared serial; the other saves and audits his first.
// F8 (or 审批) on the bill never saved here acts on nothing, however often it is pressed: the bill
// stored under that serial is his, and this screen has never listed it.
TEST_F(EditorTest, ANewBillNeverSavedPostsOrSubmitsNoBillAnotherClerkStoredUnderItsSerial) {
  OpenNewBill();
  const std::string lsh = form_->Text("TxtLSH"), from = " from ckdbdzk where lsh='DBD202403020003'";
  db_.Run({"insert into ckdbdzk(lsh,kdrq,dcstockid,drstockid,czry,shbz,jzbz) select '" + lsh + "',kdrq,dcstockid,drstockid,czry,1,0" + from,
           "insert into ckdbdzkmx(lsh,dh,hh,ph,pcdh,sl,dj,je,dcstockid,drstockid) select '" + lsh +
               "',dh,hh,ph,pcdh,sl,dj,je,dcstockid,drstockid from ckdbdzkmx where lsh='DBD202403020003'"});
  const std::string told = "324 系统提示|确实要记帐吗?\n64 系统提示|流水号为:" + lsh + "的单据还没有保存,没有记帐任何单据!\n";
  for (int press = 0; press < 2; ++press) {
    ui_.QueueAnswer(mb::kYes);
    form_->KeyDown("TxtHH", key::kF1 + 7);
  }
  EXPECT_EQ(db_.Value("select cast(jzbz as int) from ckdbdzk where lsh='" + lsh + "'"), "0");
  db_.Run({"update ckdbdzk set shbz=0,jzbz=0 where lsh='" + lsh + "'"});  // and submitted as his
  for (int press = 0; press < 2; ++press) {
    ui_.QueueAnswer(mb::kYes);
    form_->Click("审批");
  }
  EXPECT_EQ(db_.Count("select count(*) from BillApproval where BillGuid='" + lsh + "'"), 0);
  const std::string refused = "324 系统提示|确实要提交审批到审批流中吗？\n64 系统提示|流水号为:" + lsh + "的单据还没有保存,不能提交审批!\n";
  EXPECT_EQ(ShownBoxes(ui_), told + told + refused + refused);
  EXPECT_EQ(form_->Grid("VfgContent")->Rows(), 1);
  // A stored bill another clerk deleted meanwhile is told as deleted, its lines as stored (none).
  Open("DBD202403010001");
  db_.Run({"delete from ckdbdzkmx where lsh='DBD202403010001'", "delete from ckdbdzk where lsh='DBD202403010001'"});
  ui_.QueueAnswer(mb::kYes);
  form_->Click("审批");
  EXPECT_EQ(ui_.Boxes().back().text, "流水号为[DBD202403010001]的单据已被其他操作员删除,没有提交审批!");
  EXPECT_EQ(form_->Grid("VfgContent")->Rows(), 1);
}

// The other clerk's bill under the prepared serial is held by its approval flow: this clerk's first
// line, which goes under the next serial, is not held with it.
TEST_F(EditorTest, ANewBillsFirstLineIsNotHeldByAnotherClerksBillSubmittedUnderItsSerial) {
  OpenNewBill();
  const std::string lsh = form_->Text("TxtLSH");
  db_.Run({"insert into ckdbdzk(lsh,kdrq,dcstockid,drstockid,czry,shbz,jzbz) select '" + lsh +
               "',kdrq,dcstockid,drstockid,czry,0,0 from ckdbdzk where lsh='DBD202403010001'",
           "update BillApprovalSwitch set Enabled=1 where BillTypeCode='000022'",
           "insert into BillApproval(BillTypeCode,BillGuid,Status) values ('000022','" + lsh + "','pending')",
           "insert into ckdbdzkmx(lsh,dh,hh,sl,je,lsze) select '" + lsh + "',dh,hh,sl,je,lsze from ckdbdzkmx where lsh='DBD202403010001'"});
  Enter("TxtHH", "0040");
  // Nor are its totals this bill's: the panel counts none until the first line is saved.
  const GridModel& panel = *form_->Grid("VfgSpxx");
  EXPECT_EQ(panel.TextMatrix(1, panel.Cols() - 2) + " " + panel.TextMatrix(1, panel.Cols() - 1), "0 0");
  form_->KeyDown("TxtDj", key::kReturn);
  Enter("TxtJe", "14");
  form_->Click("Cmd_Save");
  EXPECT_EQ(ShownBoxes(ui_), "");
  EXPECT_EQ(db_.Count("select count(*) from ckdbdzkmx where hh='0040' and lsh<>'" + lsh + "'"), 1);
}

// Another clerk saves a line into the bill open here (another program's amount at four places): on a
// move to another row the panel's totals are those of the lines listed, as the 合计 row under them.
TEST_F(EditorTest, ThePanelTotalsTheLinesListedAsTheTotalsRowDoes) {
  Open("DBD202403010001");
  db_.Run({"insert into ckdbdzkmx(lsh,dh,hh,sl,je,lsze) values ('DBD202403010001','1009','0040',1,10.2545,12.5)"});
  form_->SelectRow("VfgContent", 2);
  const GridModel& panel = *form_->Grid("VfgSpxx");
  EXPECT_EQ(std::stod(panel.TextMatrix(1, panel.Cols() - 2)), std::stod(form_->Text("LblSumJe")));
  EXPECT_EQ(std::stod(panel.TextMatrix(1, panel.Cols() - 1)), std::stod(form_->Text("LblSumLsze")));
  // A site's lines without 零售总额: the amount the row shows is still the panel's.
  db_.Run({"insert into GLSelect (FDH, FSQL) values ('仓库调拨单', 'a.dh as 单号, a.je as 金额')"});
  Open("DBD202403010001");
  db_.Run({"insert into ckdbdzkmx(lsh,dh,hh,sl,je,lsze) values ('DBD202403010001','1010','0040',1,1,1)"});
  form_->SelectRow("VfgContent", 2);
  const GridModel& again = *form_->Grid("VfgSpxx");
  EXPECT_EQ(std::stod(again.TextMatrix(1, again.Cols() - 2)), std::stod(form_->Text("LblSumJe")));
  // A site that hides the bill's amount total from the panel: the row beside it shows none either.
  db_.Run({"update t_SystemProfile set FValue='1' where FKey='ForbiddenViewBatchPrice'"});
  Open("DBD202403010001");
  const GridModel& hidden = *form_->Grid("VfgSpxx");
  EXPECT_EQ(hidden.TextMatrix(1, hidden.Cols() - 2) + "|" + form_->Text("LblSumJe"), "|");
}

// 20 盒 and 12 瓶 add up to no quantity: the 合计 row and the slip give none, the amounts still;
// a slip page of one unit totals its quantity, and a line of 0 元 (kept by amount) is no other unit.
TEST_F(EditorTest, LinesInDifferentUnitsGetNoQuantityTotal) {
  db_.Run({"insert into ckdbdzkmx(lsh,dh,hh,dw,sl,je,lsze) values ('DBD202403010001','1009','0040','元',0,5,5)"});
  Open("DBD202403010001");
  EXPECT_EQ(form_->Text("LblSumSl"), "42.00");
  db_.Run({"update ckdbdzkmx set hh='0004',dw='瓶' where lsh='DBD202403010001' and dh='1002'"});
  Open("DBD202403010001");
  EXPECT_EQ(form_->Text("LblSumSl") + "|" + form_->Text("LblSumJe"), "|448.20");
  const BillSlip slip = ReadBillSlips(*session_.Conn, "ckdbdzk", "ckdbdzkmx", {"DBD202403010001"}).at(0);
  EXPECT_FALSE(SlipTotals(slip).oneUnit);
  EXPECT_TRUE(SlipTotals(slip, 2, 2).oneUnit);
  // A site's columns show the unit entered beside the quantity in the base unit: the base units count.
  db_.Run({"insert into GLSelect (FDH, FSQL) values ('仓库调拨单', 'a.dh as 单号, a.hh as 货号, a.dw as 单位, isnull(a.sl, 0) 数量')",
           "update ckdbdzkmx set dw='盒' where lsh='DBD202403010001'"});
  Open("DBD202403010001");
  EXPECT_EQ(form_->Text("LblSumSl"), "");  // 12 瓶 of 0004 among 盒
  db_.Run({"update ckdbdzkmx set hh='0001', dw='件' where lsh='DBD202403010001' and dh='1002'"});
  Open("DBD202403010001");
  EXPECT_EQ(form_->Text("LblSumSl"), "42.00");
}

// A bill stored under the serial the counter gives next (the counter set back, a bill imported
// under it) is passed over: the new bill lists none of it, and its first line goes where it shows.
TEST_F(EditorTest, ANewBillIsPreparedUnderASerialNoStoredBillHas) {
  OpenNewBill();
  const std::string taken = form_->Text("TxtLSH");
  db_.Run({"insert into ckdbdzk(lsh,kdrq,dcstockid,drstockid,czry,shbz,jzbz) select '" + taken +
               "',kdrq,dcstockid,drstockid,czry,0,0 from ckdbdzk where lsh='DBD202403010001'",
           "insert into ckdbdzkmx(lsh,dh,hh,ph,pcdh,sl,dj,je,dcstockid,drstockid) select '" + taken +
               "',dh,hh,ph,pcdh,sl,dj,je,dcstockid,drstockid from ckdbdzkmx where lsh='DBD202403010001'"});
  OpenNewBill();
  const std::string shown = form_->Text("TxtLSH");
  EXPECT_NE(shown, taken);
  EXPECT_EQ(form_->Grid("VfgContent")->Rows() + form_->Grid("VfgSpxx")->Rows(), 1);
  Enter("TxtHH", "0040");
  form_->KeyDown("TxtDj", key::kReturn);
  Enter("TxtJe", "14");
  form_->Click("Cmd_Save");
  EXPECT_EQ(db_.Count("select count(*) from ckdbdzkmx where hh='0040' and lsh='" + shown + "'"), 1);
}

// Audited meanwhile by another clerk, the bill is refused and keeps what was typed: no question
// offers to give it up.
TEST_F(EditorTest, AnAuditOfABillAuditedMeanwhileKeepsTypedInputWithoutAsking) {
  Open("DBD202403010001");
  form_->Type("TxtBZ", "急件");
  db_.Run({"update ckdbdzk set shbz=1 where lsh='DBD202403010001'"});
  form_->Click("审核");
  EXPECT_EQ(ShownBoxes(ui_) + form_->Text("StatusBar1"), "流水号为 DBD202403010001 的单据已审核，没有审核");
  EXPECT_EQ(form_->Text("TxtBZ"), "急件");
}

// A button greyed out under the focus passes it to the lines, not on to the bill date.
TEST_F(EditorTest, AButtonGreyedOutUnderTheFocusHandsItToTheLines) {
  Open("DBD202403010001");
  TakeLine(1);
  EnterThroughToSave();
  db_.Run({"update ckdbdzk set shbz=1 where lsh='DBD202403010001'"});
  form_->Click("Cmd_Save");
  EXPECT_EQ(ShownBoxes(ui_) + form_->Focus(), "64 系统提示|此单据已审核，不能再添加数据!\nVfgContent");
  Open("DBD202403010002");
  form_->SetFocus("Cmd_Delete");
  ui_.QueueAnswer(mb::kYes);
  form_->KeyDown("Cmd_Delete", key::kF1 + 3);
  EXPECT_EQ(form_->Text("LblBillState") + form_->Focus(), "已审核VfgContent");
}

// A viewed bill says so in its title, and stops saying so once F2 starts a bill that is saved.
TEST_F(EditorTest, AViewedBillSaysSoInItsTitleUntilANewBillIsStarted) {
  form_ = std::make_unique<FrmStoreAdjuctBill>(session_, EditorRequest{EditorRequest::Mode::View, "DBD202403010001"});
  form_->Load();
  EXPECT_EQ(form_->Caption, "仓库调拨单（查看） - DBD202403010001");
  form_->KeyDown("TxtHH", key::kF1 + 1);
  EXPECT_EQ(form_->Caption, "仓库调拨单 - " + form_->Text("TxtLSH"));
}

// Seen audited, the bill was to be refused: taken back by another clerk while the approval's
// warning is open, it would be audited and the typed remark dropped unasked. The clerk is asked
// then; No audits nothing and keeps the remark.
TEST_F(EditorTest, AnAuditOfABillTakenBackWhileWarnedAsksBeforeDroppingTypedInput) {
  Open("DBD202403010001");
  form_->Type("TxtBZ", "急件");
  db_.Run({"update ckdbdzk set shbz=1 where lsh='DBD202403010001'",
           "insert into AuditVerdict (BillGuid, ReturnValue, ReturnMsg) values ('DBD202403010001', 1, '超预算')"});
  ui_.meanwhile = [&] { db_.Run({"update ckdbdzk set shbz=0 where lsh='DBD202403010001'"}); };
  ui_.QueueAnswer(mb::kYes);
  ui_.QueueAnswer(mb::kNo);
  form_->Click("审核");
  EXPECT_EQ(ShownBoxes(ui_), "324 系统提示|超预算\n292 提示:|表头的备注还没有保存,审核将丢失这些输入,是否继续？\n");
  EXPECT_EQ(db_.Value("select cast(shbz as int) from ckdbdzk where lsh='DBD202403010001'"), "0");
  EXPECT_EQ(form_->Text("TxtBZ"), "急件");
}

TEST_F(EditorTest, AFailingApprovalProcedureOrAConfirmationOutsideTheTwoStepFlowIsRefusedWithAWord) {
  Open("DBD202403010001");
  db_.Run({"drop table AuditVerdict"});
  form_->Click("审核");
  form_->Click("确认");
  EXPECT_EQ(ShownBoxes(ui_), "64 系统提示|no such table: AuditVerdict\n64 系统提示|对不起，未启用确认，不能确认单据!\n");
  EXPECT_EQ(db_.Value("select cast(shbz as int) from ckdbdzk where lsh='DBD202403010001'"), "0");
}

// Bills another program stored with their state flags left NULL are entered bills, as the flags the
// module writes say 0: posted only once audited, audited, issued and confirmed, and deleted from the
// list, not refused as audited.
TEST_F(EditorTest, ABillStoredWithItsFlagsLeftNullIsAnEnteredBill) {
  db_.Run({"update ckdbdzk set shbz=NULL,PreShbz=NULL,jzbz=NULL where lsh<>'DBD202403020003'"});
  const std::string flags = "select cast(IsNull(PreShbz,9) as varchar)+cast(IsNull(shbz,9) as varchar)+"
                            "cast(IsNull(jzbz,9) as varchar) from ckdbdzk where lsh=";
  Open("DBD202403010001");
  for (const char* command : {"记帐", "审核"}) {
    ui_.QueueAnswer(mb::kYes);
    form_->Click(command);
  }
  EXPECT_EQ(ShownBoxes(ui_), "324 系统提示|确实要记帐吗?\n"
                             "64 系统提示|流水号为:DBD202403010001的单据记帐不成功,可能的原因是单据还没有审核!\n"
                             "324 系统提示|确实要审核此单据吗?\n");
  EXPECT_EQ(db_.Value(flags + "'DBD202403010001'"), "919");
  // Lines stored without their out-warehouse: the audit names the line, not a header typed over.
  db_.Run({"update ckdbdzkmx set dcstockid=NULL where lsh='DBD202403010002'"});
  Open("DBD202403010002");
  form_->Click("审核");
  EXPECT_NE(ShownBoxes(ui_).find("64 系统提示|单号: 1001  货号: 0021\r\n此明细的拨出仓库为空"), std::string::npos);
  db_.Run({"update t_SystemProfile set FValue='1' where FKey='StartStoreAdjustOK'"});
  const auto stock = [&](const char* warehouse) {
    return db_.Value("select cast(sjsl as varchar) from ywbalance where hh='0005' and fperiod=0 and stockid='" +
                     std::string(warehouse) + "'");
  };
  const double out = std::stod(stock("03")), in = std::stod(stock("02"));
  Open("DBD202403020004");
  for (const char* command : {"审核", "确认"}) {
    ui_.QueueAnswer(mb::kYes);
    form_->Click(command);
  }
  EXPECT_EQ(db_.Value(flags + "'DBD202403020004'"), "119");
  EXPECT_EQ(std::stod(stock("03")), out - 6);
  EXPECT_EQ(std::stod(stock("02")), in + 6);
  db_.Run({"insert into ckdbdzk(lsh,kdrq,dcstockid,drstockid,czry,shbz) values ('DBD1','2024-03-05','01','02','x',NULL)"});
  FrmStoreAdjuctBillBrow browser{session_};
  browser.Load();
  for (long row = 1; row < browser.ListGrid().Rows(); ++row) {
    browser.ListGrid().SetMarked(row, browser.ListGrid().TextMatrix(row, 1) == "DBD202403010002");
  }
  ui_.QueueAnswer(mb::kYes);
  browser.Click("删除");
  EXPECT_EQ(db_.Value(flags + "'DBD202403010002'"), "");
  EXPECT_EQ(db_.Value(flags + "'DBD1'"), "");  // a header without lines, gone with the list's refresh
  EXPECT_FALSE(ui_.HasQueued());
}

// A line another program stored without its base quantity (NULL or 0) moves nothing until the
// clerk gives it one: F3 shows 0 in the line's unit, and the quantity typed over it is kept, not
// zeroed by a unit of coefficient 0 made from the quantity entered beside no base quantity (asked
// "确定数量为零？" over 18, and stored as 18 moving nothing). A quantity entered of the other sign
// than the base one is no quantity of the line's unit either: the row shows what the line moves,
// not 20 盒 back at a coefficient of -1, under which 18 typed returned 18 盒; the grid lists it at
// its price per 盒, not at -7.64 beside its amount of 152.8.
TEST_F(EditorTest, ALineStoredWithoutItsBaseQuantityTakesTheQuantityTypedOverIt) {
  for (const auto& [stored, shown] : std::vector<std::pair<std::string, std::string>>{
           {"sl=NULL", "0 盒 1"}, {"sl=0", "0 盒 1"}, {"srsl=-20", "20 盒 1"}}) {
    db_.Run({"update ckdbdzkmx set srsl=20, sl=20 where lsh='DBD202403010001' and dh='1001'",
             "update ckdbdzkmx set " + stored + " where lsh='DBD202403010001' and dh='1001'"});
    Open("DBD202403010001");
    EXPECT_EQ(form_->Grid("VfgContent")->TextMatrix(1, 5), "7.64") << stored;
    TakeLine(1);
    EXPECT_EQ(Shown({"TxtSl", "txtDw", "txtXs"}), shown) << stored;
    ui_.keepsHeld = true;
    EnterIn("TxtHH");
    Enter("TxtSl", "18");
    EnterThroughAndSave();
    EXPECT_EQ(ShownBoxes(ui_), "") << stored;
    EXPECT_EQ(StoredLine("1001").substr(0, 5), "18 18") << stored;
  }
}

// A bill another program stored without a date is booked on the session's business date, as a new
// bill is, not on the computer's.
TEST_F(EditorTest, ABillStoredWithoutADateShowsTheBusinessDate) {
  db_.Run({"update ckdbdzk set kdrq=NULL where lsh='DBD202403010001'"});
  Open("DBD202403010001");
  EXPECT_EQ(form_->Text("DTPKdrq"), "2024-03-05");
}

// The "..." button shows the places of the line the grid points at, against that line's own
// quantity, not the entry row's; a bill that lists no line has none to show.
TEST_F(EditorTest, ViewedGoodsPlacesAreThoseOfALineTheGridLists) {
  OpenNewBill();
  form_->Type("txtBrCKid", "05");
  form_->Click("Command1");
  EXPECT_EQ(ShownBoxes(ui_), "64 系统提示|查看货位前必须输入单号!\n");
  EXPECT_TRUE(ui_.placesShown.empty());
  Open("DBD202403010002");
  form_->Type("TxtSl", "3");
  form_->Click("Command1");
  ASSERT_EQ(ui_.placesShown.size(), 1u);
  EXPECT_EQ(ui_.placesShown[0].lineKey, "1001");
  EXPECT_EQ(ui_.placesShown[0].quantity, "5.5");
  // Each place holds, as shown, the line's own batch, not the goods' over every batch.
  std::string current;
  const GoodsPlaceAllocation shown(ui_.placesShown[0]);
  for (const GoodsPlaceRow& row : shown.Rows()) current += row.number + ":" + adodb::FormatNumber(row.current) + " ";
  EXPECT_EQ(current, "Y01:0 Y02:9.25 Y03:6.5 ");
}

TEST_F(EditorTest, ALongBillShowsTheLineItMovesAndEndsTheDisplay) {
  db_.Run({"update phk set sl=1000 where hh='0001' and stockid='01' and dh='200011'"});
  auto conn = db_.Open();
  conn->BeginTrans();
  for (int line = 1; line <= 201; ++line) {
    conn->Execute("insert into ckdbdzkmx(lsh,dh,hh,pm,ph,pcdh,dj,sl,je,lsj,lsze,kh,dcstockid,drstockid) values "
                  "('DBD202403010001','" + std::to_string(2000 + line) + "','0001','','230208','200011',1,1,1,1,1,'',"
                  "'01','02')");
  }
  conn->CommitTrans();
  Open("DBD202403010001");
  ui_.QueueAnswer(mb::kYes);
  form_->Click("审核");
  ASSERT_EQ(ui_.steps.size(), 205u) << ShownBoxes(ui_);
  EXPECT_EQ(ui_.steps.front(), "正在处理第 1 行 (货号 0001)|1/204");
  EXPECT_EQ(ui_.steps.back(), "|0/0");
  EXPECT_EQ(db_.Value("select cast(shbz as int) from ckdbdzk where lsh='DBD202403010001'"), "1");
  EXPECT_FALSE(ui_.Busy());
}

// 0021 is kept in 千克, whose sl holds 4 places: 12.34 克 would move 12.3 克 priced and totalled
// as 12.34, and the grid list it as 0.0123 千克 at 120.79 the 千克. The row shows what moves.
TEST_F(EditorTest, AQuantityInAFinerUnitShowsWhatItsBaseQuantityKeeps) {
  OpenNewBill();
  ui_.QueueChoice(2);  // 克
  Enter("TxtHH", "0021");
  ui_.QueueChoice(1);
  Enter("TxtSl", "12.34");
  EXPECT_EQ(Shown({"TxtSl", "TxtJe", "TxtLsze"}), "12.3 1.42 2.21");
  form_->Click("Cmd_Save");
  EXPECT_EQ(db_.Value("select cast(srsl as varchar)+' '+cast(sl as varchar)+' '+cast(je as varchar)+' '+"
                      "cast(lsze as varchar) from ckdbdzkmx where hh='0021' and lsh='" + form_->Text("TxtLSH") + "'"),
            "12.3 0.0123 1.42 2.21");
  EXPECT_EQ(ShownBoxes(ui_), "");
}

// Another program stored 10 盒 of 0003 in 中包 (12 盒) without the quantity as entered. Taken with
// F3, the row shows 0.8333 中包; saved as it was, the line still moves 10 盒.
TEST_F(EditorTest, ALineStoredWithoutItsQuantityInAUnitThatDoesNotDivideItIsSavedAsItWas) {
  db_.Run({"update ckdbdzkmx set dw='中包',srsl=0,sl=10 where lsh='DBD202403010001' and dh='1002'"});
  Open("DBD202403010001");
  TakeLine(2);
  EXPECT_EQ(form_->Text("TxtSl"), "0.8333");
  form_->Click("Cmd_Save");
  EXPECT_EQ(db_.Value("select cast(sl as varchar) from ckdbdzkmx where lsh='DBD202403010001' and dh='1002'"), "10");
  EXPECT_EQ(ShownBoxes(ui_), "");
}

// Another program stored line 1002 as 2.5 中包 moving 24 盒: its own 9.6 盒 to the 中包, where the
// goods' 中包 holds 12. Taken with F3 and passed through 货号 or through the unit with Enter, the
// list on its own 中包, the line is the line as stored: its quantity, coefficient, price and
// amounts, not 2.5 x 12 nor a quantity of 0 at the goods' cost price, which a save stored without
// a word for a clerk who changed nothing.
TEST_F(EditorTest, ALineWithACoefficientOfItsOwnPassedThroughItsUnitListKeepsItsQuantity) {
  db_.Run({"update ckdbdzkmx set dw='中包', srsl=2.5, sl=24, dj=297.6, je=744, lsze=595.2 where "
           "lsh='DBD202403010001' and dh='1002'"});
  const std::string stored = StoredLine("1002");
  ASSERT_EQ(stored, "2.5 24 中包 297.6 744 595.2");
  Open("DBD202403010001");
  for (const char* through : {"TxtHH", "txtJl"}) {
    TakeLine(2);
    ASSERT_EQ(Shown({"TxtSl", "txtXs"}), "2.5 9.6") << through;
    ui_.QueueChoice(2);  // its own 中包, which the list holds
    EnterIn(through);
    EXPECT_EQ(Shown({"TxtSl", "txtXs", "TxtDj", "TxtJe"}), "2.5 9.6 297.6 744") << through;
    form_->Click("Cmd_Save");
    EXPECT_EQ(StoredLine("1002"), stored) << through;
  }
  EXPECT_EQ(ShownBoxes(ui_), "");
  EXPECT_FALSE(ui_.HasQueued());
}

// Line 1001 stored as 20 盒 at the 盒's coefficient of 1 is taken with F3; the administrator then
// counts the 盒 as 2. Passed through with Enter from 货号 on, the list on its own 盒, the row is the
// line as loaded, and the save sends the clerk to the unit as for the row left alone: not a
// quantity of 0 at the goods' cost price, which Yes to "确定数量为零？" stored.
TEST_F(EditorTest, ALineWhoseUnitWasCountedAnewSinceF3PassedThroughWithEnterKeepsItsQuantity) {
  const std::string stored = StoredLine("1001");
  Open("DBD202403010001");
  TakeLine(1);
  db_.Run({"update t_MeasureUnit set FCoefficient=2 where hh='0001' and FMeasureUnitID='01'"});
  ui_.keepsHeld = true;
  ui_.QueueAnswer(mb::kYes);
  EnterIn("TxtHH");
  EXPECT_EQ(Shown({"TxtSl", "txtXs", "TxtJe"}), "20 1 152.8");
  EnterThroughAndSave();
  EXPECT_EQ(StoredLine("1001"), stored);
  EXPECT_EQ(ShownBoxes(ui_), "48 系统提示|计量单位已改变,请按回车键重新选择计量单位!\n");
}

// Line 1001, 20 盒 in the goods' unit 01, is taken with F3 and passed through from 货号 with Enter,
// the unit list closed without a choice: with its unit still listed, after the administrator
// marked it deleted (two units left to list), and after he deleted all but one (no list shown). Each
// time the row is the line as loaded, not a quantity of 0 in the base unit, which the walk to
// 保 存 stored; with its unit gone, the save sends the clerk to the unit as for the row left
// alone. Another unit chosen from the list is the line entered anew in it, unit gone or not.
TEST_F(EditorTest, AUnitListClosedWithoutAChoiceOnALineTakenWithF3KeepsTheLineAsLoaded) {
  const std::string stored = StoredLine("1001");
  const std::string unitGone = "48 系统提示|计量单位已改变,请按回车键重新选择计量单位!\n";
  Open("DBD202403010001");
  const auto takeAndPass = [&](const std::string& meanwhile, long choice) {
    TakeLine(1);
    if (!meanwhile.empty()) db_.Run({meanwhile});
    if (choice >= 0) ui_.QueueChoice(choice);
    EnterIn("TxtHH");
    return Shown({"TxtSl", "txtDw", "txtXs", "TxtJe"});
  };
  for (const auto& [meanwhile, choice, box] : std::vector<std::tuple<std::string, long, std::string>>{
           {"", 0, ""},
           {"update t_MeasureUnit set FDeleted=1 where hh='0001' and FMeasureUnitID='01'", 0, unitGone},
           {"delete from t_MeasureUnit where hh='0001' and FMeasureUnitID<>'03'", -1, unitGone}}) {
    EXPECT_EQ(takeAndPass(meanwhile, choice), "20 盒 1 152.8") << meanwhile;
    const std::size_t shown = ShownBoxes(ui_).size();
    EnterThroughAndSave();
    ui_.keepsHeld = false;
    EXPECT_EQ(StoredLine("1001"), stored) << meanwhile;
    EXPECT_EQ(ShownBoxes(ui_).substr(shown), box) << meanwhile;
    if (choice == 0) {
      EXPECT_EQ(takeAndPass("", box.empty() ? 3 : 2), "0 件 200 0") << meanwhile;
      ui_.QueueAnswer(mb::kYes);  // the row given up for the next F3
    }
    db_.Run({"update t_MeasureUnit set FDeleted=0 where hh='0001'"});
  }
  EXPECT_FALSE(ui_.HasQueued());
}

// Goods 0001 without units of their own: F3 reads line 1001 in the base unit it names, 盒. The
// administrator then adds 盒 as the goods' default unit, and 中包. Passed through from 货号 with
// Enter, 盒 taken from the list, the row is the line as loaded, as it is for the line read after the
// unit was added: not a quantity of 0 in a unit the clerk took for the line's own.
TEST_F(EditorTest, ABaseUnitLineKeepsItsQuantityThroughTheUnitItNamesAddedSinceF3) {
  db_.Run({"delete from t_MeasureUnit where hh='0001'"});
  const std::string stored = StoredLine("1001");
  Open("DBD202403010001");
  TakeLine(1);
  db_.Run({"insert into t_MeasureUnit(hh,FMeasureUnitID,FName,FCoefficient,FDefault,FDeleted) "
           "values ('0001','01','盒',1,1,0),('0001','02','中包',10,0,0)"});
  ui_.QueueChoice(1);
  EnterIn("TxtHH");
  EXPECT_EQ(Shown({"TxtSl", "txtDw", "TxtJe"}), "20 盒 152.8");
  EnterThroughAndSave();
  EXPECT_EQ(StoredLine("1001"), stored);
  EXPECT_EQ(ShownBoxes(ui_), "");
}

// Line 1001 stored as 2 中包 (20 盒); the administrator deletes the goods' other units, so Enter in
// the unit opens no list. The clerk chose no other unit: the row keeps 中包, and the walk to 保 存
// stores the line as it was, not 2 盒 at the cost price. With 中包 deleted too, Enter takes the base unit;
// but the line taken with F3 after 中包 was deleted keeps it, as the line saved unchanged does.
TEST_F(EditorTest, EnterInTheUnitWithNoListToOpenKeepsTheRowsUnitWhileTheGoodsStillKeepIt) {
  db_.Run({"update ckdbdzkmx set dw='中包', srsl=2, dj=76.4 where lsh='DBD202403010001' and dh='1001'",
           "update t_MeasureUnit set FDeleted=1 where hh='0001' and FMeasureUnitID<>'02'"});
  const std::string stored = StoredLine("1001");
  Open("DBD202403010001");
  TakeLine(1);
  EnterIn("txtJl");
  EXPECT_EQ(Shown({"TxtSl", "txtDw", "txtXs", "TxtDj"}), "2 中包 10 76.4");
  EnterThroughAndSave();
  EXPECT_EQ(StoredLine("1001"), stored);
  TakeLine(1);
  db_.Run({"update t_MeasureUnit set FDeleted=1 where hh='0001'"});
  EnterIn("txtJl");
  EXPECT_EQ(Shown({"txtDw", "txtXs"}), " 1");
  EXPECT_EQ(ShownBoxes(ui_), "");
  ui_.QueueAnswer(mb::kYes);  // the row given up for F3
  TakeLine(1);
  EnterIn("txtJl");
  EXPECT_EQ(Shown({"TxtSl", "txtDw", "txtXs", "TxtDj"}), "2 中包 10 76.4");
  EnterThroughAndSave();
  EXPECT_EQ(StoredLine("1001"), stored);
}

// Line 1001 stored as 2 中包 is taken with F3, and the administrator counts 中包 anew. Enter in the
// unit takes 中包 at its new coefficient, whether a list opens on it or it is the goods' only unit:
// not the base unit, which stored the line as 2 盒. The row shows what is stored.
TEST_F(EditorTest, TheGoodsOnlyUnitCountedAnewIsTakenAtItsNewCoefficientAsFromAList) {
  db_.Run({"update ckdbdzkmx set dw='中包', srsl=2, dj=76.4 where lsh='DBD202403010001' and dh='1001'"});
  Open("DBD202403010001");
  const auto countAnewAndEnter = [&](const std::string& coefficient) {
    TakeLine(1);
    db_.Run({"update t_MeasureUnit set FCoefficient=" + coefficient + " where hh='0001' and FMeasureUnitID='02'"});
    ui_.keepsHeld = true;
    EnterIn("txtJl");
    const std::string shown = Shown({"TxtSl", "txtDw", "txtXs", "TxtDj", "TxtJe", "TxtLsze"});
    EnterThroughAndSave();
    return shown + " | " + StoredLine("1001");
  };
  EXPECT_EQ(countAnewAndEnter("12"), "2 中包 12 91.68 183.36 300 | 2 24 中包 91.68 183.36 300");
  db_.Run({"update t_MeasureUnit set FDeleted=1 where hh='0001' and FMeasureUnitID<>'02'"});
  EXPECT_EQ(countAnewAndEnter("10"), "2 中包 10 76.4 152.8 250 | 2 20 中包 76.4 152.8 250");
  EXPECT_EQ(ShownBoxes(ui_), "");
}

// Another program stored line 1001 as 0.1235 盒 moving 0.8333 盒, a coefficient of its own. Taken
// with F3 and entered as 7, it moves 47.2316 盒 as sl keeps them: the retail total is 12.5 x 47.2316,
// 590.40, on screen and stored, not 590.39 from a base quantity no column holds.
TEST_F(EditorTest, TheRetailTotalIsTheRetailPriceTimesTheBaseQuantityTheLineKeeps) {
  db_.Run({"update ckdbdzkmx set srsl=0.1235, sl=0.8333 where lsh='DBD202403010001' and dh='1001'"});
  Open("DBD202403010001");
  TakeLine(1);
  ui_.keepsHeld = true;
  Enter("TxtSl", "7");
  EXPECT_EQ(form_->Text("TxtLsze"), "590.4");
  form_->Click("Cmd_Save");
  EXPECT_EQ(db_.Value("select cast(sl as varchar)+' '+cast(lsze as varchar) from ckdbdzkmx where dh='1001' and "
                      "lsh='DBD202403010001'"),
            "47.2316 590.4");
  EXPECT_EQ(ShownBoxes(ui_), "");
}

// Another program stored line 1002 as 12 盒 of 0003 in a unit of half a 盒, without the quantity as
// entered: its price is per 盒, 24.8123, which the row shows per half 盒 as 12.4062. Taken with F3
// and saved, or passed through every field with Enter, each list on the row it holds, and saved,
// the line stays as stored: no quantity as entered beside the price per 盒, not 24 at the half
// 盒's price rounded, which another program reads as 24.8124 per 盒.
TEST_F(EditorTest, ALineStoredWithoutItsQuantityPassedThroughEveryFieldIsSavedAsItWas) {
  db_.Run({"insert into t_MeasureUnit(hh,FMeasureUnitID,FName,FCoefficient,FDefault,FDeleted) "
           "values ('0003','91','半盒',0.5,0,0)",
           "update ckdbdzkmx set dw='半盒', srsl=0, sl=12, dj=24.8123, je=297.75, lsze=297.6 where "
           "lsh='DBD202403010001' and dh='1002'"});
  const std::string stored = StoredLine("1002");
  ASSERT_EQ(stored, "0 12 半盒 24.8123 297.75 297.6");
  Open("DBD202403010001");
  TakeLine(2);
  ASSERT_EQ(Shown({"TxtSl", "TxtDj"}), "24 12.4062");
  form_->Click("Cmd_Save");
  EXPECT_EQ(StoredLine("1002"), stored);
  TakeLine(2);
  EnterThroughToSave();
  EXPECT_EQ(form_->Focus(), "Cmd_Save");
  form_->Click("Cmd_Save");
  EXPECT_EQ(StoredLine("1002"), stored);
  EXPECT_EQ(ShownBoxes(ui_), "");
}

// Goods without batches, shortages allowed: 0012 is below zero in 01, where it was looked up, and
// not kept at all in 03, typed over 01 before the quantity. The stock judged is 03's, and asked about.
TEST_F(EditorTest, TheStockJudgedIsTheOutWarehouseTypedThoughItKeepsNoneOfTheGoods) {
  db_.Run({"update sys_var set bz3=1", "update ywbalance set sjsl=-5 where hh='0012' and stockid='01'",
           "delete from ywbalance where hh='0012' and stockid='03'"});
  session_ = testsupport::OpenEditorSession(db_, ui_);  // with bz3 as set
  session_.isNotPh = true;
  OpenNewBill();
  Enter("TxtHH", "0012");
  Enter("TxtBcCkID", "03");
  ui_.QueueAnswer(mb::kNo);
  Enter("TxtSl", "5");
  EXPECT_EQ(ShownBoxes(ui_), "292 提示:|库存数量不足,是否继续？[Y/N]\n");
}

// The entry row's reads on their own, for typed text holding quotes (the goods and out-warehouse
// lookups: scenarios/entry/warehouses_on_save.scn); a condition named twice: SelectionTest.
TEST_F(EditorTest, QuotesInTypedTextStayInsideTheirLiterals) {
  db_.Run({"insert into ywbalance (hh, stockid, fperiod, fyear, sjsl) values ('O''K', '0''1', 0, 0, 5)",
           "insert into gl_stock (id, name, KM5) values ('0''1', 'quoted store', 'Q''1')"});
  EXPECT_EQ(Found(BoundSql{"select id from gl_stock a where 1=1 ", {}} +
                  ExactWarehouseCondition(WarehouseSide::In, "0'1", "01", "")), "0'1");
  EXPECT_EQ(Found(BatchList("", "O'K", "0'1", true, 1)), "");
  EXPECT_DOUBLE_EQ(*ReadOutStock(session_, "O'K", "0'1"), 5);
  EXPECT_TRUE(ui_.Boxes().empty());
}

// An expired batch is asked about before anything is read or written; No voids the batch the row
// held before, which may be the very one declined (Yes, the saving and the plain refusal:
// entry/expired_batch.scn).
TEST_F(EditorTest, AnExpiredBatchIsTakenOnlyOnTheClerksWordAndNoVoidsTheBatchBefore) {
  OpenNewBill();
  form_->Type("DTPKdrq", "2024-05-03");
  Enter("TxtHH", "0010");
  ui_.QueueChoice(2);  // 240103, fresh
  Enter("TxtSl", "5");
  ASSERT_TRUE(form_->Entry().batch.has_value());
  ui_.QueueChoice(1);  // 230115, expired on 2024-04-30
  ui_.QueueAnswer(mb::kNo);
  Enter("TxtSl", "5");
  EXPECT_EQ(ShownBoxes(ui_), "292 提示:|批号 230115 已过期 3 天，是否继续？[Y/N]\n");
  EXPECT_FALSE(form_->Entry().batch.has_value());  // it may be the very batch declined
  EXPECT_FALSE(ui_.HasQueued());
  EXPECT_FALSE(ui_.HasQueued());
}

// Another clerk moves the chosen batch's expiry into the past while the row waits, in a new bill
// and in a stored one: the save asks as the quantity step would; No stores nothing, Yes the line.
TEST_F(EditorTest, ABatchExpiredMeanwhileLeavesOnlyOnTheClerksWord) {
  OpenNewBill();
  form_->Type("DTPKdrq", "2024-05-03");
  const auto waits = [&](const char* hh, const char* ph) {
    Enter("TxtHH", hh);
    ui_.QueueChoice(2);
    Enter("TxtSl", "1");
    db_.Run({std::string("update phk set xq='2024-05-01' where ph='") + ph + "'"});
    const std::string before = ShownBoxes(ui_);
    ui_.QueueAnswer(mb::kNo);
    form_->Click("Cmd_Save");
    EXPECT_EQ(ShownBoxes(ui_), before + "292 提示:|批号 " + ph + " 已过期 2 天，是否继续？[Y/N]\n");
    EXPECT_EQ(db_.Value(std::string("select count(*) from ckdbdzkmx where ph='") + ph + "'"), "0");
    ui_.QueueAnswer(mb::kYes);
    form_->Click("Cmd_Save");
    EXPECT_EQ(db_.Value(std::string("select count(*) from ckdbdzkmx where ph='") + ph + "'"), "1");
  };
  waits("0010", "240103");
  waits("0011", "240214");
  EXPECT_FALSE(ui_.HasQueued());
}

// The bill's date moved past the expiry of a batch a stored line leaves from: that line leaves
// expired too, so the save asks; No keeps the bill as stored.
TEST_F(EditorTest, ABillDateMovedPastAStoredLinesBatchExpiryIsAskedAbout) {
  OpenNewBill();
  form_->Type("DTPKdrq", "2024-04-01");
  Enter("TxtHH", "0010");
  ui_.QueueChoice(1);  // 230115, expires on 2024-04-30
  Enter("TxtSl", "1");
  form_->Click("Cmd_Save");
  const auto bill = [&] {
    return db_.Value("select convert(varchar(10),kdrq,120)+' '+cast(count(*) as varchar) from ckdbdzk a join ckdbdzkmx b "
                     "on a.lsh=b.lsh where a.lsh='" + form_->Text("TxtLSH") + "' group by kdrq");
  };
  form_->Type("DTPKdrq", "2024-05-03");
  Enter("TxtHH", "0011");
  ui_.QueueChoice(2);
  Enter("TxtSl", "1");
  ui_.QueueAnswer(mb::kNo);
  form_->Click("Cmd_Save");
  EXPECT_EQ(ShownBoxes(ui_), "292 提示:|批号 230115 已过期 3 天，是否继续？[Y/N]\n");
  EXPECT_EQ(bill(), "2024-04-01 1");
  ui_.QueueAnswer(mb::kYes);
  form_->Click("Cmd_Save");
  EXPECT_EQ(bill(), "2024-05-03 2");
  EXPECT_FALSE(ui_.HasQueued());
}

// A batch line whose goods were switched to amount only since is saved without its batch, as the
// commands then ask: the row shows none before the save.
TEST_F(EditorTest, AnAmendedLineOfGoodsNowKeptByAmountOnlyShowsNoBatch) {
  db_.Run({"update yw_kck set fonlymoney=1 where hh='0001'"});
  Open("DBD202403010001");
  form_->KeyDown("VfgContent", key::kF1 + 2);
  EXPECT_EQ(form_->Text("TxtHH"), "0001");
  EXPECT_EQ(form_->Text("TxtPh"), "");
  form_->Click("Cmd_Save");
  EXPECT_EQ(db_.Value("select isnull(ph,'') from ckdbdzkmx where lsh='DBD202403010001' and dh='1001'"), "");
}

// A line amended in 件 from its later batch: the unit and batch lists offer the line's own, not
// the default 盒 and the batch expiring first, to the clerk who only means to change the quantity.
TEST_F(EditorTest, TheListsOfAnAmendedLineOfferItsOwnUnitAndBatch) {
  db_.Run({"update ckdbdzkmx set dw='件', srsl=0.1, ph='240120', pcdh='200142' where lsh='DBD202403010001' and dh='1003'"});
  Open("DBD202403010001");
  form_->SelectRow("VfgContent", 3);
  form_->KeyDown("VfgContent", key::kF1 + 2);
  ui_.QueueChoice(3);
  form_->KeyDown("TxtHH", key::kReturn);
  ui_.QueueChoice(2);
  Enter("TxtSl", "0.1");
  EXPECT_EQ(ui_.heldRows, "3 2 ");
  EXPECT_EQ(ShownBoxes(ui_), "");
}

// The bill is submitted, or approved, while the editor waits for the clerk's goods places or his
// Yes: neither the amended line nor the deletion reaches the bill the flow now holds.
TEST_F(EditorTest, ABillHeldByItsApprovalMeanwhileKeepsItsLines) {
  db_.Run({"update BillApprovalSwitch set Enabled=1 where BillTypeCode='000022'"});
  Open("DBD202403010002");
  const auto bill = [&] {
    return testsupport::Rows(*db_.Open(), "select * from ckdbdzkmx where lsh='DBD202403010002' order by dh") +
           testsupport::Rows(*db_.Open(), "select * from BillGoodsPlace where BillGuid='DBD202403010002' "
                                          "order by BillDetailGuid,GoodsPlaceGuid");
  };
  const std::string before = bill();
  const std::string hold = "insert into BillApproval (BillTypeCode, BillGuid, Status) values ('000022', 'DBD202403010002', ";
  form_->KeyDown("VfgContent", key::kF1 + 2);
  ui_.QueuePlaces({true, {"P05Y03,x,Y03,5.5"}});
  ui_.meanwhile = [&] { db_.Run({hold + "'pending')"}); };
  form_->Click("Cmd_Save");
  db_.Run({"delete from BillApproval"});
  ui_.QueueAnswer(mb::kYes);
  ui_.meanwhile = [&] { db_.Run({hold + "'approved')"}); };
  form_->Click("Cmd_Delete");
  EXPECT_EQ(ShownBoxes(ui_), "64 系统提示|单据已经审批，不能修改！\n"
                             "292 提示:|您确实要删除流水号为[DBD202403010002],单号为[1001]的数据吗？\n"
                             "64 系统提示|单据已经审批，不能删除！\n");
  EXPECT_EQ(bill(), before);
}

// Another clerk audits the bill, or changes one of its lines, on his own connection while the
// approval component is being started for the clerk's 审批: the bill is not handed over, in the
// words a bill read so before the question is refused with. Left alone, the bill goes with the
// amounts of the lines the clerk saw.
TEST_F(EditorTest, ABillAuditedOrChangedWhileItsApprovalComponentStartsIsNotHandedOver) {
  struct StartedMeanwhile {
    std::function<void()> act;
  };
  auto meanwhile = std::make_shared<StartedMeanwhile>();
  const DataScopeProviderFactory embedded = SetDataScopeProviderFactory([meanwhile] {
    if (meanwhile->act) std::exchange(meanwhile->act, {})();
    return std::make_unique<EmbeddedDataScopeProvider>();
  });
  session_.Category = "EP";
  const std::string submitted = "select count(*) from BillApproval where BillGuid='DBD202403010001'";
  for (const char* another : {"update ckdbdzk set shbz=1, shry='李四' where lsh='DBD202403010001'",
                              "update ckdbdzkmx set sl=30, srsl=30, je=229.2 where lsh='DBD202403010001' and dh='1001'"}) {
    Open("DBD202403010001");
    ui_.QueueAnswer(mb::kYes);
    meanwhile->act = [&] { db_.Run({another}); };
    form_->Click("审批");
    EXPECT_EQ(db_.Count(submitted), 0) << another;
    db_.Run({"update ckdbdzk set shbz=0, shry='' where lsh='DBD202403010001'"});
  }
  const std::string total = db_.Value("select round(sum(je),2) from ckdbdzkmx where lsh='DBD202403010001'");
  Open("DBD202403010001");
  ui_.QueueAnswer(mb::kYes);
  form_->Click("审批");
  SetDataScopeProviderFactory(embedded);
  EXPECT_EQ(ShownBoxes(ui_), "324 系统提示|确实要提交审批到审批流中吗？\n"
                             "64 系统提示|流水号为:DBD202403010001的单据已审核,不能提交审批!\n"
                             "324 系统提示|确实要提交审批到审批流中吗？\n"
                             "64 系统提示|本单据的明细已被他人修改，本次操作未做任何改变，请重新操作！\n"
                             "324 系统提示|确实要提交审批到审批流中吗？\n"
                             "64 系统提示|审批提交成功!\n");
  EXPECT_EQ(db_.Count(submitted), 1);
  EXPECT_EQ(db_.Value("select TotalAmount from BillApproval where BillGuid='DBD202403010001'"), total);
}

// Another clerk's line save (at other amounts or the same), his audit, then his deletion of the
// bill, lands after the bill was read for 审批 and before the approval flow records it: the flow is
// not given lines the clerk did not see, an audited bill nor a bill that is gone, and the clerk is
// told which.
TEST_F(EditorTest, ALineSavedAuditedOrTheBillDeletedBetweenTheApprovalsReadingAndItsRecordIsNotHandedOver) {
  struct AtTheRecord final : DataScopeProvider {
    EmbeddedDataScopeProvider inner;
    std::function<void()> act;
    std::string GetScopeCondition(const std::string& c, const std::string& column, const std::string& g,
                                  const std::string& o, const std::string& scope) override {
      return inner.GetScopeCondition(c, column, g, o, scope);
    }
    std::string SubmitBill(const std::string& c, const std::string& type, const std::string& lsh, const std::string& maker,
                           const std::string& submitter, double total, double largest) override {
      return inner.SubmitBill(c, type, lsh, maker, submitter, total, largest);
    }
    std::string SubmitBillAsRead(const std::string& c, const std::string& type, const std::string& lsh,
                                 const std::string& maker, const std::string& submitter, double total, double largest,
                                 const SubmissionStillAsRead& asRead) override {
      if (act) std::exchange(act, {})();
      return inner.SubmitBillAsRead(c, type, lsh, maker, submitter, total, largest, asRead);
    }
    bool IsApproved(const std::string& c, const std::string& type, const std::string& lsh) override {
      return inner.IsApproved(c, type, lsh);
    }
    void IsBillEditable(const std::string& c, const std::string& type, const std::string& lsh, bool& editable) override {
      inner.IsBillEditable(c, type, lsh, editable);
    }
  };
  std::vector<std::string> act = {"update ckdbdzkmx set sl=30, srsl=30, je=229.2 where lsh='DBD202403010001' and dh='1001'"};
  const DataScopeProviderFactory embedded = SetDataScopeProviderFactory([&] {
    auto provider = std::make_unique<AtTheRecord>();
    provider->act = [&] {
      for (const std::string& sql : std::exchange(act, {})) db_.Run({sql});
    };
    return provider;
  });
  session_.Category = "EP";
  Open("DBD202403010001");
  ui_.QueueAnswer(mb::kYes);
  form_->Click("审批");
  EXPECT_EQ(ui_.Boxes().back().text, "本单据的明细已被他人修改，本次操作未做任何改变，请重新操作！");
  // The same amounts in other goods tell the approval's amounts nothing: the lines themselves do.
  act = {"update ckdbdzkmx set hh='0002', sl=60, srsl=60 where lsh='DBD202403010001' and dh='1001'"};
  ui_.QueueAnswer(mb::kYes);
  form_->Click("审批");
  EXPECT_EQ(ui_.Boxes().back().text, "本单据的明细已被他人修改，本次操作未做任何改变，请重新操作！");
  act = {"update ckdbdzk set shbz=1 where lsh='DBD202403010001'"};
  ui_.QueueAnswer(mb::kYes);
  form_->Click("审批");
  EXPECT_EQ(ui_.Boxes().back().text, "流水号为:DBD202403010001的单据已审核,不能提交审批!");
  db_.Run({"update ckdbdzk set shbz=0 where lsh='DBD202403010001'"});
  act = {"delete from ckdbdzkmx where lsh='DBD202403010001'", "delete from ckdbdzk where lsh='DBD202403010001'"};
  ui_.QueueAnswer(mb::kYes);
  form_->Click("审批");
  SetDataScopeProviderFactory(embedded);
  EXPECT_EQ(db_.Count("select count(*) from BillApproval where BillGuid='DBD202403010001'"), 0);
  EXPECT_EQ(ui_.Boxes().back().text, "流水号为[DBD202403010001]的单据已被其他操作员删除,没有提交审批!");
}

// The administrator switches the site to two steps while the editor, opened in one, asks whether
// to audit: a one-step audit would receive goods the in-warehouse now confirms. Nothing moves, and
// the editor's commands follow the site from then on: 审核 issues the bill only.
TEST_F(EditorTest, AFlowSwitchedWhileTheClerkAnswersMovesNothingAndTheEditorFollowsIt) {
  Open("DBD202403010001");
  const std::string stock = "select * from phk order by 1,2,3,4";
  const std::string before = testsupport::Rows(*db_.Open(), stock);
  ui_.QueueAnswer(mb::kYes);
  ui_.meanwhile = [&] { db_.Run({"update t_SystemProfile set FValue='1' where FKey='StartStoreAdjustOK'"}); };
  form_->Click("审核");
  EXPECT_EQ(ShownBoxes(ui_), "324 系统提示|确实要审核此单据吗?\n"
                             "64 系统提示|调拨单已被改为两步处理(审核出库后再确认入库)，本次操作未做任何改变，请按新的处理方式重新操作！\n");
  EXPECT_EQ(testsupport::Rows(*db_.Open(), stock), before);
  EXPECT_TRUE(form_->Visible("确认"));
  ui_.QueueAnswer(mb::kYes);
  form_->Click("审核");
  EXPECT_EQ(db_.Value("select cast(PreShbz as varchar) + '/' + cast(shbz as varchar) from ckdbdzk where lsh='DBD202403010001'"),
            "1/0");
}

// Approval switched on for transfer bills, or the audit procedure turned to refusing the bill,
// while the clerk answers the audit's question: nothing moves, in the gate's own words.
TEST_F(EditorTest, AnApprovalWithdrawnWhileTheClerkAnswersAuditsNothing) {
  const std::string stock = "select * from phk order by 1,2,3,4";
  const std::string before = testsupport::Rows(*db_.Open(), stock);
  for (const char* meanwhile : {"update BillApprovalSwitch set Enabled=1 where BillTypeCode='000022'",
                                "insert into AuditVerdict (BillGuid, ReturnValue, ReturnMsg) values ('DBD202403010001', 2, '财务未放行')"}) {
    Open("DBD202403010001");
    ui_.QueueAnswer(mb::kYes);
    ui_.meanwhile = [&] { db_.Run({meanwhile}); };
    form_->Click("审核");
    db_.Run({"update BillApprovalSwitch set Enabled=0"});
  }
  EXPECT_EQ(ShownBoxes(ui_), "324 系统提示|确实要审核此单据吗?\n64 系统提示|审批未通过，不能审核！\n"
                             "324 系统提示|确实要审核此单据吗?\n64 系统提示|财务未放行\n");
  EXPECT_EQ(testsupport::Rows(*db_.Open(), stock), before);
}

// Another clerk takes from the batch the quantity step weighed, or takes the batch out of the
// out-warehouse, before the save: the save asks as the step does, or refuses, and No or a batch
// gone leaves the batch to be chosen again.
TEST_F(EditorTest, ABatchTakenFromOrGoneMeanwhileIsWeighedAgainOnSave) {
  const std::string lines = "select count(*) from ckdbdzkmx where hh='0006'";
  const std::string before = db_.Value(lines);
  OpenNewBill();
  Enter("TxtHH", "0006");
  const auto chooseAndTake = [&](const std::string& meanwhile) {
    ui_.QueueChoice(1);
    Enter("TxtSl", "5");
    db_.Run({meanwhile + " from phk where hh='0006' and stockid='01' and dh='" + form_->Entry().batch->line + "'"});
  };
  chooseAndTake("update phk set sl=sl-1000");
  ui_.QueueAnswer(mb::kNo);
  form_->Click("Cmd_Save");
  EXPECT_FALSE(form_->Entry().batch.has_value());
  EXPECT_EQ(db_.Value(lines), before);
  db_.Run({"update phk set sl=sl+1000 where hh='0006' and stockid='01'"});
  chooseAndTake("delete");
  form_->Click("Cmd_Save");
  EXPECT_FALSE(form_->Entry().batch.has_value());
  EXPECT_EQ(db_.Value(lines), before);
  EXPECT_EQ(ShownBoxes(ui_), "292 提示:|批次数量小于用户输入数量,是否继续？[Y/N]\n"
                             "48 系统提示|批号[230715]已不存在,请重新选择批号!\n");
}

// Shortages allowed, the stock below zero when the quantity was entered (moved further down
// unasked); another clerk's receipt lifts it before 保 存: short of the line, the save asks as the
// step would have; covering it, the batch too small is asked about. No writes nothing.
TEST_F(EditorTest, AStockLiftedAboveZeroMeanwhileIsWeighedAsTheStepWouldHave) {
  const std::string lines = "select count(*) from ckdbdzkmx where hh='0006'";
  const std::string before = db_.Value(lines);
  const std::string stock = "update ywbalance set sjsl=";
  const std::string goods = " where hh='0006' and stockid='01' and fperiod=0";
  db_.Run({"update sys_var set bz3=1", stock + "-5" + goods});
  session_ = testsupport::OpenEditorSession(db_, ui_);
  OpenNewBill();
  Enter("TxtHH", "0006");
  ui_.QueueChoice(1);
  Enter("TxtSl", "8");
  ASSERT_EQ(ShownBoxes(ui_), "");
  const auto saveAfter = [&](std::initializer_list<std::string> receipts) {
    db_.Run(receipts);
    ui_.QueueAnswer(mb::kNo);
    form_->Click("Cmd_Save");
  };
  saveAfter({stock + "3" + goods});
  saveAfter({stock + "100" + goods, "update phk set sl=2 where hh='0006' and stockid='01'"});
  EXPECT_EQ(db_.Value(lines), before);
  EXPECT_EQ(ShownBoxes(ui_), "292 提示:|库存数量不足,是否继续？[Y/N]\n"
                             "292 提示:|批次数量小于用户输入数量,是否继续？[Y/N]\n");
}

// Another clerk deletes the line while the clerk is asked about deleting it: the line is gone, and
// the status line says it went by another hand.
TEST_F(EditorTest, ALineDeletedMeanwhileIsSaidToBeGone) {
  Open("DBD202403010001");
  ui_.QueueAnswer(mb::kYes);
  ui_.meanwhile = [&] { db_.Run({"delete from ckdbdzkmx where lsh='DBD202403010001' and dh='1001'"}); };
  form_->Click("Cmd_Delete");
  EXPECT_EQ(form_->Text("StatusBar1"), "单号 1001 的明细已不在单据中，已重新列出明细");
}

// The administrator flips the in-warehouse's goods-place switch after the clerk's screen read a
// line: nobody changed the line, so its amendment, deletion or new places are not refused as
// another clerk's change. The save stores the line as its warehouse keeps places now: without
// places where it keeps none, on the places chosen at the save where it keeps them.
TEST_F(EditorTest, ALineReadBeforeItsWarehouseGoodsPlaceSwitchFlippedIsNotSaidToBeChangedByAnother) {
  const auto flip = [&](const char* on) { db_.Run({std::string("update gl_stock set FDeleted=") + on + " where id='05'"}); };
  const auto places = [&] {
    return testsupport::Rows(*db_.Open(), "select BillDetailGuid,GoodsPlaceGuid,Quantity from BillGoodsPlace "
                                          "where BillGuid='DBD202403010002' order by 1,2");
  };
  // Amended after the switch went off: stored without places.
  Open("DBD202403010002");
  TakeLine(1);
  flip("0");
  form_->Click("Cmd_Save");
  EXPECT_EQ(places(), "1002|P05Y03|4|\n");
  // Read while it was off (its rows stay), amended after it went on again: placed as chosen.
  Open("DBD202403010002");
  TakeLine(2);
  flip("1");
  ui_.QueuePlaces({true, {"P05Y01,x,Y01,4"}});
  form_->Click("Cmd_Save");
  EXPECT_EQ(places(), "1002|P05Y01|4|\n");
  // Listed while on, deleted after it went off; and listed while off, deleted after it went on.
  Open("DBD202403010002");
  flip("0");
  form_->SelectRow("VfgContent", 2);
  ui_.QueueAnswer(mb::kYes);
  form_->Click("Cmd_Delete");
  Open("DBD202403010002");
  flip("1");
  db_.Run({"insert into BillGoodsPlace (BillType,BillGuid,BillDetailGuid,GoodsPlaceGuid,GoodsPlaceNo,WarehouseGuid,"
           "MaterielGuid,Quantity) values ('WarehouseIn','DBD202403010002','1001','P05Y02','Y02','05','0021',5.5)"});
  form_->SelectRow("VfgContent", 1);
  ui_.QueueAnswer(mb::kYes);
  form_->Click("Cmd_Delete");
  EXPECT_EQ(db_.Value("select count(*) from ckdbdzkmx where lsh='DBD202403010002'"), "0");
  EXPECT_EQ(ShownBoxes(ui_), "292 提示:|您确实要删除流水号为[DBD202403010002],单号为[1002]的数据吗？\n"
                             "292 提示:|您确实要删除流水号为[DBD202403010002],单号为[1001]的数据吗？\n");
}

// The same for the bill's commands: audited after the switch went off while the clerk was asked,
// and after it went on again before he pressed 审核, the bill goes as his screen listed it, its
// lines received as their warehouse keeps places at the audit.
TEST_F(EditorTest, ABillListedBeforeItsWarehouseGoodsPlaceSwitchFlippedIsAuditedAsListed) {
  const auto flip = [&](const char* on) { db_.Run({std::string("update gl_stock set FDeleted=") + on + " where id='05'"}); };
  const std::string audited = "select isnull(shbz,0) from ckdbdzk where lsh='DBD202403010002'";
  const std::string placed = "select count(*) from GoodsPlaceBalance where WarehouseGuid='05'";
  const std::string placesBefore = db_.Value(placed);
  Open("DBD202403010002");
  ui_.QueueAnswer(mb::kYes);
  ui_.meanwhile = [&] { flip("0"); };
  form_->Click("审核");
  EXPECT_EQ(db_.Value(audited), "1");
  Open("DBD202403010002");
  ui_.QueueAnswer(mb::kYes);
  form_->Click("反审");
  EXPECT_EQ(db_.Value(audited), "0");
  EXPECT_EQ(db_.Value(placed), placesBefore);
  // Rows left from before the switch went off, listed without them, received onto them.
  db_.Run({"insert into BillGoodsPlace (BillType,BillGuid,BillDetailGuid,GoodsPlaceGuid,GoodsPlaceNo,WarehouseGuid,"
           "MaterielGuid,BatchNo,BatchNumber,Quantity) select 'WarehouseIn',lsh,dh,'P05Y01','Y01','05',hh,ph,pcdh,sl "
           "from ckdbdzkmx where lsh='DBD202403010002'"});
  Open("DBD202403010002");
  flip("1");
  ui_.QueueAnswer(mb::kYes);
  form_->Click("审核");
  EXPECT_EQ(db_.Value(audited), "1");
  for (const auto& box : ui_.Boxes()) EXPECT_EQ(box.text.find("已被他人修改"), std::string::npos) << box.text;
}

// A command that succeeds leaves the editor on the lines as it stored them: an audit that dropped
// the place rows of lines whose warehouse stopped keeping places meanwhile is taken back from the
// same open screen, the clerk's row kept; and so, both ways, in the two-step flow, where the lines
// were listed with the switch on and confirmed after it went off.
TEST_F(EditorTest, TheNextCommandFromTheSameScreenActsOnTheLinesTheLastOneStored) {
  const auto flip = [&](const char* on) { db_.Run({std::string("update gl_stock set FDeleted=") + on + " where id='05'"}); };
  const std::string state = "select str(isnull(PreShbz,0),1)+str(isnull(shbz,0),1) from ckdbdzk where lsh='DBD202403010002'";
  const std::string placeRows = "select count(*) from BillGoodsPlace where BillGuid='DBD202403010002'";
  const std::string placesBefore = testsupport::Rows(*db_.Open(), "select * from GoodsPlaceBalance order by 1,2,3,4");
  Open("DBD202403010002");
  form_->SelectRow("VfgContent", 2);
  ui_.QueueAnswer(mb::kYes);
  ui_.meanwhile = [&] { flip("0"); };
  form_->Click("审核");
  ASSERT_EQ(db_.Value(state), "01");
  EXPECT_EQ(db_.Value(placeRows), "0");
  ui_.QueueAnswer(mb::kYes);
  form_->Click("反审");
  EXPECT_EQ(db_.Value(state), "00");
  EXPECT_EQ(form_->Grid("VfgContent")->Row, 2);
  flip("1");
  db_.Run({"update t_SystemProfile set FValue='1' where FKey='StartStoreAdjustOK'"});
  db_.Run({"insert into BillGoodsPlace (BillType,BillGuid,BillDetailGuid,GoodsPlaceGuid,GoodsPlaceNo,WarehouseGuid,"
           "MaterielGuid,BatchNo,BatchNumber,Quantity) select 'WarehouseIn',lsh,dh,'P05Y01','Y01','05',hh,ph,pcdh,sl "
           "from ckdbdzkmx where lsh='DBD202403010002'"});
  Open("DBD202403010002");
  for (const char* command : {"审核", "确认", "反确认", "反审"}) {
    if (std::string(command) == "确认") flip("0");
    ui_.QueueAnswer(mb::kYes);
    form_->Click(command);
  }
  EXPECT_EQ(db_.Value(state), "00");
  EXPECT_EQ(testsupport::Rows(*db_.Open(), "select * from GoodsPlaceBalance order by 1,2,3,4"), placesBefore);
  for (const auto& box : ui_.Boxes()) EXPECT_EQ(box.text.find("已被他人修改"), std::string::npos) << box.text;
}

// Two-step: 审核人员 after each command is who the bill shows when it is opened again; after the
// confirmation is taken back that is the auditor, beside the stamp 已审核.
TEST_F(EditorTest, TheAuditorShownAfterEachTwoStepCommandIsTheOneTheBillOpensWith) {
  db_.Run({"update t_SystemProfile set FValue='1' where FKey='StartStoreAdjustOK'"});
  Open("DBD202403010001");
  for (const char* command : {"审核", "确认", "反确认", "反审"}) {
    ui_.QueueAnswer(mb::kYes);
    form_->Click(command);
    const std::string shown = Shown({"LblBillState", "TxtSh"});
    Open("DBD202403010001");
    EXPECT_EQ(shown, Shown({"LblBillState", "TxtSh"})) << command;
  }
}

// A pre-audited line's places are being chosen when the administrator switches its warehouse off
// goods places: refused as a line of a warehouse without places is, not as another clerk's change.
TEST_F(EditorTest, PlacesChosenWhileTheirWarehouseStopsKeepingPlacesAreRefusedForWhatTheWarehouseIsNow) {
  db_.Run({"update t_SystemProfile set FValue='1' where FKey='StartStoreAdjustOK'",
           "update ckdbdzk set PreShbz=1,PreShry='系统管理员' where lsh='DBD202403010002'"});
  const std::string places = "select * from BillGoodsPlace where BillGuid='DBD202403010002' order by 1,2,3,4,5";
  const std::string before = testsupport::Rows(*db_.Open(), places);
  Open("DBD202403010002");
  ui_.QueuePlaces({true, {"P05Y01,x,Y01,5.5"}});
  ui_.meanwhile = [&] { db_.Run({"update gl_stock set FDeleted=0 where id='05'"}); };
  form_->KeyDown("VfgContent", key::kF1 + 2);
  EXPECT_EQ(testsupport::Rows(*db_.Open(), places), before);
  EXPECT_EQ(ShownBoxes(ui_), "48 系统提示|此单据已审核，不能修改!\n");
}

// A two-step bill's line gets new goods places while another clerk takes the bill back, or deletes
// it: nothing is written, and the clerk is told what the bill is now, not that it is audited.
TEST_F(EditorTest, PlacesChosenForABillTakenBackOrDeletedMeanwhileTellWhatItIsNow) {
  db_.Run({"update t_SystemProfile set FValue='1' where FKey='StartStoreAdjustOK'"});
  const std::string places = "select * from BillGoodsPlace where BillGuid='DBD202403010002' order by 1,2,3,4,5";
  const std::string before = testsupport::Rows(*db_.Open(), places);
  for (const char* meanwhile : {"update ckdbdzk set PreShbz=0,PreShry=null where lsh='DBD202403010002'",
                                "delete from ckdbdzk where lsh='DBD202403010002'"}) {
    db_.Run({"update ckdbdzk set PreShbz=1,PreShry='系统管理员' where lsh='DBD202403010002'"});
    Open("DBD202403010002");
    ui_.QueuePlaces({true, {"P05Y01,x,Y01,5.5"}});
    ui_.meanwhile = [&] { db_.Run({meanwhile}); };
    form_->KeyDown("VfgContent", key::kF1 + 2);
    EXPECT_EQ(testsupport::Rows(*db_.Open(), places), before);
  }
  EXPECT_EQ(ShownBoxes(ui_), "48 系统提示|本单据的状态已被他人改变(现为未审核)，本次操作未做任何改变！\n"
                             "48 系统提示|单号为[1001]的数据已被其他操作员删除,修改没有保存!\n");
}

// The administrator takes the command's right away from 系统管理员 (whose own row grants every
// right) while he answers its question: the command, begun with the right, writes nothing.
TEST_F(EditorTest, ARightTakenAwayWhileTheClerkAnswersWritesNothing) {
  const auto grantAllBut = [&](const std::string& right) {
    const std::vector<std::vector<std::string>> lists{{"新增", "修改", "删除", "打印", "重打", "报表"},
                                                      {"记帐", "审核", "反审", "确认", "反确认"}};
    for (std::size_t n = 0; n < lists.size(); ++n) {
      std::string values;
      for (const std::string& name : lists[n]) values += std::string(values.empty() ? "" : ",") + (name == right ? "0" : "1");
      db_.Run({"update rights set RightValue" + std::to_string(n + 1) + "='" + values + "' where operatorGuid like '%000000000001}'"});
    }
  };
  const auto refused = [&](const std::string& right, const std::function<void()>& command) {
    const std::string before = testsupport::FullDump(*db_.Open());
    ui_.meanwhile = [&] { grantAllBut(right); };
    command();
    grantAllBut("");
    EXPECT_TRUE(testsupport::FullDump(*db_.Open()) == before) << right << " wrote";
    EXPECT_EQ(ui_.Boxes().back().text, right.empty() ? "此仓库不在你的数据权限范围内!" : "对不起，你没有此权限！") << right;
  };
  const auto inEditor = [&](const std::string& lsh, const std::string& control) {
    return [&, lsh, control] {
      Open(lsh);
      ui_.QueueAnswer(mb::kYes);
      form_->Click(control);
    };
  };
  // The line goes back into the entry row (a line of a pre-audited bill gets its places only).
  const auto amended = [&](const std::string& lsh, bool saved) {
    return [&, lsh, saved] {
      Open(lsh);
      ui_.QueuePlaces({true, {saved ? "P05Y03,x,Y03,5.5" : "P05Y01,x,Y01,5.5"}});
      form_->KeyDown("VfgContent", key::kF1 + 2);
      if (saved) form_->Click("Cmd_Save");
    };
  };
  refused("审核", inEditor("DBD202403010001", "审核"));
  refused("反审", inEditor("DBD202403020003", "反审"));
  refused("记帐", inEditor("DBD202403020003", "记帐"));
  refused("删除", inEditor("DBD202403010001", "Cmd_Delete"));
  refused("修改", amended("DBD202403010002", true));
  // The warehouse scope the save was checked by, narrowed to 01 while the places were chosen.
  session_.OptGuid = "{9E4A7C21-1B3D-4F5E-8A01-000000000001}";
  refused("", [&] {
    ui_.meanwhile = [&] { db_.Run({"insert into DataScopeItem values ('" + session_.OptGuid + "','0007','01')"}); };
    amended("DBD202403010002", true)();
    db_.Run({"delete from DataScopeItem where ItemId='01'"});
  });
  const auto lineAdded = [&](const std::function<void()>& openBill) {
    return [&, openBill] {
      openBill();
      Enter("TxtHH", "0025");
      ui_.QueueChoice(1);
      Enter("TxtSl", "1");
      ui_.QueuePlaces({true, {"P05Y03,x,Y03,1"}});
      form_->Click("Cmd_Save");
    };
  };
  const auto newBillTo05 = [&] {
    OpenNewBill();
    form_->Type("txtBrCKid", "05");
  };
  refused("新增", lineAdded(newBillTo05));
  // A line added to a bill is saved on the right the clerk holds the bill by: 修改 for one opened
  // from the list, 新增 for one he began, after its first line too.
  refused("修改", lineAdded([&] {
    Open("DBD202403010002");
    form_->FireTimers();
  }));
  const std::size_t boxes = ui_.Boxes().size();
  lineAdded(newBillTo05)();
  ASSERT_EQ(ui_.Boxes().size(), boxes) << ui_.Boxes().back().text;
  refused("新增", lineAdded([] {}));
  FrmStoreAdjuctBillBrow browser{session_};
  browser.Load();
  const auto marked = [&](const std::string& lsh, const std::string& command) {
    return [&, lsh, command] {
      for (long row = 1; row < browser.ListGrid().Rows(); ++row) {
        browser.ListGrid().SetMarked(row, browser.ListGrid().TextMatrix(row, 1) == lsh);
      }
      ui_.QueueAnswer(mb::kYes);
      browser.Click(command);
    };
  };
  refused("记帐", marked("DBD202403020003", "记账"));
  refused("删除", marked("DBD202403020004", "删除"));
  db_.Run({"update t_SystemProfile set FValue='1' where FKey='StartStoreAdjustOK'"});
  refused("反确认", inEditor("DBD202403020003", "反确认"));
  refused("审核", inEditor("DBD202403010001", "审核"));
  EXPECT_EQ(form_->DisabledReason("审核"), "没有审核权限");
  db_.Run({"update ckdbdzk set PreShbz=1,PreShry='系统管理员' where lsh in ('DBD202403010001','DBD202403010002')"});
  refused("确认", inEditor("DBD202403010001", "确认"));
  refused("修改", amended("DBD202403010002", false));
  EXPECT_FALSE(ui_.HasQueued());
}


}  // namespace
}  // namespace storeadjust
