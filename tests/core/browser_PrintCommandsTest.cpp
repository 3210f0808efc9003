// The five print commands against the demo database, through the screens' models: what reaches
// the print and reprint components, in what order, which marks are left, and what the user sees
// when a right is missing, nothing is marked or the component fails.
#include <gtest/gtest.h>

#include <optional>

#include "adodb/Error.h"
#include "browse/FrmStoreAdjuctBillBrow.h"
#include "editor/FrmStoreAdjuctBill.h"
#include "host/KeyCodes.h"
#include "support/ModuleSession.h"

namespace storeadjust {
namespace {

using testsupport::ShownBoxes;

// The scripted interface, keeping every request handed to the components; a queued failure makes
// the next component call throw it, as a component that cannot print would.
class RecordingUi : public ScriptedUserInterface {
 public:
  void Print(const PrintRequest& request) override {
    prints.push_back(request);
    ThrowQueuedFailure();
    ScriptedUserInterface::Print(request);
  }
  void Reprint(const ReprintRequest& request) override {
    reprints.push_back(request);
    ThrowQueuedFailure();
    ScriptedUserInterface::Reprint(request);
  }
  std::vector<PrintRequest> prints;
  std::vector<ReprintRequest> reprints;
  std::optional<adodb::Error> failure;

 private:
  void ThrowQueuedFailure() {
    if (!failure) return;
    adodb::Error error = *failure;
    failure.reset();
    throw error;
  }
};

class PrintCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session.OptCode = "001";
    session.OptName = "系统管理员";
    session.SysDate = adodb::Date{2024, 3, 5};
    session.Category = "EP";
    session.CommandTimeout = 30;
    browser.Load();
  }
  long RowOf(const std::string& lsh) {
    for (long row = 1; row < browser.ListGrid().Rows(); ++row) {
      if (browser.ListGrid().TextMatrix(row, 1) == lsh) return row;
    }
    ADD_FAILURE() << lsh << " is not listed";
    return 0;
  }
  void Mark(std::initializer_list<const char*> serials) {
    for (const char* lsh : serials) browser.ListGrid().SetMarked(RowOf(lsh), true);
  }
  long MarkedCount() {
    long marked = 0;
    for (long row = 1; row < browser.ListGrid().Rows(); ++row) marked += browser.ListGrid().IsMarked(row) ? 1 : 0;
    return marked;
  }
  void TakeAway(const char* right) {
    // 001 holds every right through his own row only: 打印 is the fourth, 重打 the fifth of list 1.
    const std::string list = std::string(right) == "打印" ? "1,1,1,0,1,1" : "1,1,1,1,0,1";
    db.Run({"update rights set RightValue1='" + list + "' where operatorGuid='{9E4A7C21-1B3D-4F5E-8A01-000000000001}'"});
  }

  testsupport::TempDatabase db{db::CreateDemoDatabase};
  RecordingUi ui;
  Session session = testsupport::OpenSession(db, ui);
  FrmStoreAdjuctBillBrow browser{session};
};

TEST_F(PrintCommandsTest, MarkedBillsGoInGridOrderAsOneRequestAndLoseTheirMarks) {
  browser.SortByColumn(1);  // serials descending: grid order is not serial order
  Mark({"DBD202403010001", "DBD202403020004", "DBD202403010002"});

  browser.Click("打印");

  ASSERT_EQ(ui.prints.size(), 1u);
  const PrintRequest& request = ui.prints[0];
  EXPECT_EQ(request.serials, "DBD202403020004|DBD202403010002|DBD202403010001");
  EXPECT_EQ(request.billKind, 60);
  EXPECT_TRUE(request.modeFlag);
  EXPECT_EQ(request.textParameters,
            (std::vector<std::string>{" CKDBDZK ", " CKDBDZKmx ", "", "", "", "001"}));
  EXPECT_EQ(request.operatorCode, "001");
  EXPECT_EQ(request.connection, session.Conn);
  EXPECT_FALSE(request.preview);
  EXPECT_EQ(MarkedCount(), 0);
  EXPECT_EQ(ShownBoxes(ui), "");
}

TEST_F(PrintCommandsTest, PreviewHandsOverWhatPrintingDoesAndSaysWhichCommandAsked) {
  Mark({"DBD202403020003"});
  browser.Click("mnuReport");
  Mark({"DBD202403020003"});
  browser.Click("mnuPrint");

  ASSERT_EQ(ui.prints.size(), 2u);
  EXPECT_TRUE(ui.prints[0].preview);
  EXPECT_FALSE(ui.prints[1].preview);
  EXPECT_EQ(ui.prints[0].serials, ui.prints[1].serials);
  EXPECT_EQ(ui.prints[0].textParameters, ui.prints[1].textParameters);
}

TEST_F(PrintCommandsTest, AFailedPrintShowsTheComponentsWordsAndTheMarksStayCleared) {
  Mark({"DBD202403010001", "DBD202403010002", "DBD202403020003"});
  ui.failure = adodb::Error(adodb::errnum::kProviderError, "打印机未就绪");
  browser.Click("打印");
  EXPECT_EQ(ShownBoxes(ui), "64 系统提示|打印机未就绪\n");
  EXPECT_EQ(MarkedCount(), 0);

  // A marked bill deleted behind the browser's back: the component cannot read it.
  Mark({"DBD202403010001", "DBD202403010002"});
  db.Run({"delete from ckdbdzk where lsh='DBD202403010002'"});
  browser.Click("预览");
  EXPECT_EQ(ui.prints.back().serials, "DBD202403010001|DBD202403010002");
  EXPECT_EQ(ShownBoxes(ui), "64 系统提示|打印机未就绪\n64 系统提示|流水号为:DBD202403010002的单据不存在!\n");
  EXPECT_EQ(MarkedCount(), 0);
}

TEST_F(PrintCommandsTest, NothingMarkedSaysSoAndPrintsNothing) {
  browser.Click("打印");
  browser.Click("预览");
  EXPECT_TRUE(ui.prints.empty());
  EXPECT_EQ(ShownBoxes(ui), "64 系统提示|你没有选择任何需打印的单据！\n64 系统提示|你没有选择任何需打印的单据！\n");
}

TEST_F(PrintCommandsTest, WithoutTheRightNothingIsPrintedAndNoMarkIsCleared) {
  TakeAway("打印");
  Mark({"DBD202403010001", "DBD202403020004"});
  browser.Click("打印");
  browser.Click("预览");
  EXPECT_TRUE(ui.prints.empty());
  EXPECT_EQ(MarkedCount(), 2);
  EXPECT_EQ(ShownBoxes(ui), "48 系统提示|对不起，你没有此权限！\n48 系统提示|对不起，你没有此权限！\n");
}

TEST_F(PrintCommandsTest, ReprintHandsTheSessionToTheComponentAndShowsItsFailureAsCritical) {
  browser.Click("重打");
  ASSERT_EQ(ui.reprints.size(), 1u);
  const ReprintRequest& request = ui.reprints[0];
  EXPECT_EQ(request.category, "EP");
  EXPECT_EQ(request.commandTimeout, 30);
  EXPECT_EQ(request.connectionString, session.ConnStr);
  EXPECT_EQ(request.operatorCode, "001");
  EXPECT_EQ(request.operatorName, "系统管理员");
  EXPECT_EQ(request.sysDate, "2024-03-05");
  EXPECT_EQ(request.start, 13);

  ui.failure = adodb::Error(adodb::errnum::kProviderError, "重打组件不可用");
  browser.Click("mnuCd");
  EXPECT_EQ(ShownBoxes(ui), "16 系统提示|重打组件不可用\n");

  TakeAway("重打");
  browser.Click("重打");
  EXPECT_EQ(ui.reprints.size(), 2u);
  EXPECT_EQ(ShownBoxes(ui), "16 系统提示|重打组件不可用\n48 系统提示|对不起，你没有此权限！\n");
}

// The editor, opened by the browser on a stored bill or for a new one.
class EditorPrintTest : public PrintCommandsTest {
 protected:
  void OpenEditor(const std::string& lsh) {
    session.CurrentLSH = lsh;
    session.IsNewBill = lsh.empty();
    editor.Load();
  }
  FrmStoreAdjuctBill editor{session};
};

TEST_F(EditorPrintTest, PrintsItsOwnBillWithTheLineTablesLowerCase) {
  OpenEditor("DBD202403010002");
  editor.Click("Cmd_Print");
  editor.KeyDown("TxtHH", key::kF1 + 8);

  ASSERT_EQ(ui.prints.size(), 2u);
  EXPECT_EQ(ui.prints[0].serials, "DBD202403010002");
  EXPECT_EQ(ui.prints[0].textParameters, (std::vector<std::string>{" ckdbdzk ", " ckdbdzkmx ", "", "", "", "001"}));
  EXPECT_EQ(ui.prints[0].connection, session.Conn);
  EXPECT_EQ(ui.prints[1].serials, "DBD202403010002");
  EXPECT_EQ(ShownBoxes(ui), "");
}

TEST_F(EditorPrintTest, ANewBillWithoutLinesPrintsNothingAndShowsNothing) {
  OpenEditor("");
  ASSERT_EQ(editor.Grid("VfgContent")->Rows(), 1);
  editor.Click("Cmd_Print");
  editor.Click("打印");
  EXPECT_TRUE(ui.prints.empty());
  EXPECT_EQ(ShownBoxes(ui), "");
}

TEST_F(EditorPrintTest, FailuresOfPrintAndReprintAreIgnored) {
  OpenEditor("DBD202403010001");
  ui.failure = adodb::Error(adodb::errnum::kProviderError, "打印机未就绪");
  editor.Click("打印");
  db.Run({"delete from ckdbdzk where lsh='DBD202403010001'"});  // the grid still shows the lines
  editor.Click("打印");
  ui.failure = adodb::Error(adodb::errnum::kProviderError, "重打组件不可用");
  editor.Click("重打");
  EXPECT_EQ(ui.prints.size(), 2u);
  EXPECT_EQ(ui.reprints.size(), 1u);
  EXPECT_EQ(ShownBoxes(ui), "");
  EXPECT_TRUE(editor.IsOpen());
}

}  // namespace
}  // namespace storeadjust
