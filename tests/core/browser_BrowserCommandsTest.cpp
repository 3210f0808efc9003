// The browser's commands against the demo database, through the screens' models: what reaches the
// print and reprint components (the scenarios' scripted components cannot be asked), what a
// deletion that fails halfway shows and leaves marked, and the list behind a marked command's
// summary of the bills it left.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <utility>

#include "adodb/Error.h"
#include "browse/BillListQuery.h"
#include "browse/FrmStoreAdjuctBillBrow.h"
#include "db/SqliteFile.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "host/EmbeddedProcedures.h"
#include "support/BrowserOnDemo.h"
#include "support/Fields.h"

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

// The marks cleared after printing and previewing: scenarios/print/print_marked.scn.

TEST_F(BrowserCommandsTest, MarkedBillsGoInGridOrderAsOneRequestAndPreviewHandsOverTheSame) {
  browser.SortByColumn(1);  // serials descending: grid order is not serial order
  Mark({"DBD202403010001", "DBD202403020004", "DBD202403010002"});
  browser.Click("打印");

  ASSERT_EQ(ui.prints.size(), 1u);
  const PrintRequest& request = ui.prints[0];
  EXPECT_EQ(request.serials, "DBD202403020004|DBD202403010002|DBD202403010001");
  EXPECT_EQ(request.textParameters.back(), "001");  // the operator's code
  EXPECT_EQ(request.connection, session.Conn);
  EXPECT_FALSE(request.preview);

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
}

TEST_F(BrowserCommandsTest, AFailingDeletionShowsTheDatabaseWordsAndStopsAtThatRow) {
  const long first = RowOf("DBD202403010001"), second = RowOf("DBD202403010002");
  ASSERT_LT(first, second);
  Mark({"DBD202403010001", "DBD202403010002"});
  db::SqliteFile(db.Path())
      .Execute("create trigger keep_lines before delete on ckdbdzkmx begin select raise(abort, 'lines locked'); end");
  ui.QueueAnswer(mb::kYes);

  browser.DeleteMarkedBills();

  EXPECT_EQ(ShownBoxes(ui), "292 提示:|您确定要删除吗？[Y/N]\n48 系统提示|lines locked\n");
  EXPECT_TRUE(browser.ListGrid().IsMarked(first));  // the failing row, and every row after it, stay marked
  EXPECT_TRUE(browser.ListGrid().IsMarked(second));
  EXPECT_EQ(db.Count("select count(*) from ckdbdzk where lsh in ('DBD202403010001','DBD202403010002')"), 2);
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

// The editor prints its own bill from the lower-case tables, and ignores a reprint that fails.
TEST_F(BrowserCommandsTest, TheEditorPrintsItsOwnBillAndIgnoresAFailedReprint) {
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
}

TEST(BrowserListQueryTest, AnOperatorCodeWithAQuoteStaysOneLiteral) {
  EXPECT_EQ(CompleteBrowserTemplate("czry='[操作人员编号]' or x='[操作人员编号]'", "O'Neil", BrowserLayout::OneStep),
            "czry='O''Neil' or x='O''Neil'");
}

}  // namespace
}  // namespace storeadjust
