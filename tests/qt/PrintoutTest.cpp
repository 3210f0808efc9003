// What reaches the paper, printed to PDF and read back with pdftotext. Transfer slips: the bill's
// figures a clerk finds on them (serials, warehouse names, goods, batches, totals), and a long
// bill's lines going on to a second page rather than lost; and the open database never printed over.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTimer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <array>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "QtTestSupport.h"
#include "db/DatabaseFactory.h"
#include "host/BillSlip.h"
#include "host/NumberHelpers.h"
#include "host/QvGrid.h"
#include "host/ScriptedUserInterface.h"
#include "qt/BillSlipPainter.h"
#include "qt/QtUserInterface.h"
#include "qt/ReportCommands.h"
#include "qt/SlipPrinting.h"
#include "support/DemoCopy.h"
#include "support/ErrorOf.h"

namespace {

using storeadjust::BillSlip;

class PrintoutTest : public ::testing::Test {
 protected:
  QString PdfPath() const { return folder.filePath(QStringLiteral("printout.pdf")); }
  static void ToPdf(QPrinter& printer, const QString& file) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
  }
  // Chooses the print dialog's PDF printer writing to `file` and clicks Ok from the event loop: a
  // refusal's box runs a loop of its own, which the answering timer's tick, still running, would never see.
  static void PrintToPdf(QPrintDialog& dialog, const QString& file) {
    auto* printers = dialog.findChild<QComboBox*>(QStringLiteral("printers"));
    ASSERT_NE(printers, nullptr);
    printers->setCurrentIndex(printers->findText(QStringLiteral("PDF"), Qt::MatchContains));
    dialog.findChild<QLineEdit*>(QStringLiteral("filename"))->setText(file);
    QTimer::singleShot(0, dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), &QPushButton::click);
  }
  // Prints the slips to the PDF file; the pages painted.
  int PrintSlips(const std::vector<BillSlip>& slips) {
    QPrinter printer(QPrinter::HighResolution);
    ToPdf(printer, PdfPath());
    storeadjust::qt::UseSlipPageLayout(printer);
    return storeadjust::qt::PaintBillSlips(printer, slips);
  }
  // The text of page `page` (1-based) without blanks and line breaks: pdftotext drops some
  // blanks between Chinese characters and keeps others.
  QString SlipText(int page) const {
    const QString number = QString::number(page);
    return qttest::PdfText(PdfPath(), {QStringLiteral("-f"), number, QStringLiteral("-l"), number})
        .remove(QRegularExpression(QStringLiteral("\\s")));
  }
  std::vector<BillSlip> DemoSlips(const std::vector<std::string>& serials) {
    return storeadjust::ReadBillSlips(*db.Open(), "ckdbdzk", "ckdbdzkmx", serials);
  }
  // Prints DBD202403010001 through the desktop's print dialog on its PDF printer into `file`,
  // answering each message box with its first button, and gives the boxes' texts. `inDialog` runs
  // as the dialog first shows; shown again after a box (a file refused), the dialog is cancelled.
  QStringList PrintThroughTheDialogTo(const QString& file, const std::function<void()>& inDialog = [] {}) {
    storeadjust::qt::QtUserInterface desktop;
    storeadjust::PrintRequest request;
    request.connection = db.Open();
    request.textParameters = {"ckdbdzk", "ckdbdzkmx"};
    request.serials = "DBD202403010001";
    QStringList shown;
    QTimer answering;
    QObject::connect(&answering, &QTimer::timeout, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        shown << box->text();
        box->buttons().front()->click();
      } else if (auto* dialog = qobject_cast<QPrintDialog*>(modal)) {
        if (!shown.isEmpty()) return dialog->reject();
        inDialog();
        PrintToPdf(*dialog, file);
      }
    });
    answering.start(10);
    desktop.Print(request);
    return shown;
  }

  QTemporaryDir folder;
  testsupport::TempDatabase db{testsupport::DemoCopy};
};

// A page for each demo bill with its figures, quantities and prices at the site's places as the
// editor's grid shows them (a figure stored with more shows whole), then a copy of the first bill
// one line longer than a page holds, whose last line goes on to a fourth page rather than being lost. Figures and
// codes wider than their columns (a bar-code goods number, a long batch, a line in the millions
// going back) print whole, not cut short with "…". Goods places have a column on a slip that has some.
TEST_F(PrintoutTest, EachBillPrintsOnItsOwnPagesWithItsFiguresAndNoLineLost) {
  db.Open()->Execute("insert into yw_kck (hh, pm, gg, pdw) select '6901234567892', pm, gg, pdw from yw_kck where hh='0005'");
  db.Open()->Execute("update ckdbdzkmx set hh='6901234567892', ph='20230608-A12', dj=9.8765, sl=-12345.6789, "
                     "srsl=-12345.6789, je=-121932.63, lsze=-1234567.89 where lsh='DBD202403020004'");
  db.Open()->Execute("update sys_var set slws=3, wsjws=3");
  std::vector<BillSlip> slips = DemoSlips({"DBD202403010001", "DBD202403020004"});
  slips[1].lines[0].goodsPlaces = "出 A01:12 入 B01:12";  // a 货位 column on this slip alone
  QPrinter probe(QPrinter::HighResolution);
  storeadjust::qt::UseSlipPageLayout(probe);
  const std::size_t perPage = storeadjust::qt::SlipLinesPerPage(probe);
  BillSlip longSlip = slips[0];
  longSlip.lines.assign(perPage + 1, slips[0].lines[0]);
  for (std::size_t i = 0; i <= perPage; ++i) {
    longSlip.lines[i].goodsNumber = "G" + std::to_string(1000 + i);
    longSlip.lines[i].amount = i < 3 ? std::array{0.3, -0.1, -0.2}[i] : 0;  // sums to a binary -2.8e-17
  }
  slips.push_back(longSlip);
  ASSERT_EQ(PrintSlips(slips), 4);

  const QString first = SlipText(1);
  for (const char* expected : {"DBD202403010001", "总仓", "一号门店仓", "阿莫西林胶囊", "布洛芬缓释胶囊", "感冒灵颗粒",
                               "230208", "443.20", "712.60", "20.000", "7.640", "42.000"}) {
    EXPECT_TRUE(first.contains(QString::fromUtf8(expected))) << expected << "\n" << first.toStdString();
  }
  EXPECT_FALSE(first.contains(QStringLiteral("DBD202403020004")) || first.contains(QStringLiteral("货位")));
  const QString second = SlipText(2);
  for (const char* expected : {"DBD202403020004", "二号门店仓", "一号门店仓", "奥美拉唑肠溶胶囊", "李四", "6901234567892",
                               "20230608-A12", "-12345.6789", "9.8765", "-121932.63", "-1234567.89", "货位",
                               "出A01:12入B01:12"}) {
    EXPECT_TRUE(second.contains(QString::fromUtf8(expected))) << expected << "\n" << second.toStdString();
  }
  EXPECT_FALSE(SlipText(3).contains(QStringLiteral("-0.00"))) << SlipText(3).toStdString();
  const QString last = SlipText(4);
  EXPECT_TRUE(last.contains(QStringLiteral("DBD202403010001")));
  EXPECT_TRUE(last.contains(QString::fromStdString("G" + std::to_string(1000 + perPage))));
  EXPECT_FALSE(last.contains(QStringLiteral("G1000")));
}

// A remark as long as the bill holds prints whole, over as many rows as it takes, and the lines
// under it still all print.
TEST_F(PrintoutTest, ALongRemarkPrintsWhole) {
  std::string remark;
  for (int i = 0; i < 42; ++i) remark += "请先发急件" + std::to_string(i % 10);
  db.Open()->Execute("update ckdbdzk set bz='" + remark.substr(0, remark.size() - 1) + "末' where lsh='DBD202403010001'");
  auto slips = DemoSlips({"DBD202403010001"});
  QPrinter probe(QPrinter::HighResolution);
  storeadjust::qt::UseSlipPageLayout(probe);
  slips[0].lines.resize(storeadjust::qt::SlipLinesPerPage(probe), slips[0].lines[0]);
  slips[0].lines.back().goodsNumber = "G9999";
  const int pages = PrintSlips(slips);
  QString printed;
  for (int page = 1; page <= pages; ++page) printed += SlipText(page);
  EXPECT_TRUE(printed.contains(QString::fromStdString(remark.substr(0, remark.size() - 1) + "末"))) << printed.toStdString();
  EXPECT_TRUE(printed.contains(QStringLiteral("G9999")));
}

// A site that keeps the bill's amount total from its clerks (ForbiddenViewBatchPrice) prints it on no
// total row either; the lines keep their amounts, as the editor's grid does.
TEST_F(PrintoutTest, ASiteThatHidesTheAmountTotalPrintsNone) {
  db.Open()->Execute("update t_SystemProfile set FValue='True' where FKey='ForbiddenViewBatchPrice'");
  const auto slips = DemoSlips({"DBD202403010001"});
  ASSERT_EQ(PrintSlips(slips), 1);
  const QString page = SlipText(1);
  EXPECT_TRUE(page.contains(QString::fromStdString(storeadjust::NumberWithPlaces(slips[0].lines[0].amount, 2))));
  EXPECT_FALSE(page.contains(QString::fromStdString(storeadjust::NumberWithPlaces(SlipTotals(slips[0]).amount, 2))))
      << page.toStdString();
}

// The preview's pages turn at the keyboard wherever it stands, as a list's rows do: PgDn, PgUp,
// End, Home; Esc closes it.
TEST_F(PrintoutTest, ThePreviewsPagesTurnByThePageKeys) {
  QString pages;
  qttest::WhenModalShows([&pages](QWidget& preview) {
    auto* view = preview.findChild<QPrintPreviewWidget*>();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&preview));
    QLineEdit* pageBox = nullptr;  // the page number box, not the zoom box's
    for (auto* box : preview.findChildren<QLineEdit*>()) pageBox = qobject_cast<QComboBox*>(box->parent()) ? pageBox : box;
    for (Qt::Key key : {Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_End, Qt::Key_Home, Qt::Key_Escape}) {
      QTest::keyClick(QApplication::focusWidget(), key);
      pages += QString::number(view->currentPage()) + pageBox->text() + " ";
    }
  });
  const auto slips = DemoSlips({"DBD202403010001", "DBD202403010002", "DBD202403020004"});
  EXPECT_EQ(storeadjust::qt::PreviewSlips([&] { return slips; }, nullptr), QString());
  EXPECT_EQ(pages.left(15), QStringLiteral("22 33 22 33 11 "));
}

// 打印 on the print dialog's PDF printer writes the file and says where it went, with the bill as
// stored when it prints: another clerk's change made while the dialog was open is on the paper.
TEST_F(PrintoutTest, PrintingToAFileSaysWhereItWentWithTheBillAsItIsThen) {
  const auto otherClerk = [&] { db.Run({"update ckdbdzkmx set je=999.99 where lsh='DBD202403010001' and dh='1001'"}); };
  EXPECT_EQ(PrintThroughTheDialogTo(PdfPath(), otherClerk), QStringList{QStringLiteral("已保存到 ") + PdfPath()});
  EXPECT_TRUE(SlipText(1).contains(QStringLiteral("DBD202403010001")));
  EXPECT_TRUE(SlipText(1).contains(QStringLiteral("999.99"))) << SlipText(1).toStdString();
}

// Whether this process holds a lock on the file: SQLite keeps one on the database file for as
// long as a connection in WAL mode is open, and another program deletes the WAL only without it.
bool HoldsLockOn(const std::string& path) {
  struct stat file {};
  if (stat(path.c_str(), &file) != 0) return false;
  const std::string mine = " " + std::to_string(getpid()) + " ";
  const std::string inode = ":" + std::to_string(file.st_ino) + " ";
  std::ifstream locks("/proc/locks");
  for (std::string line; std::getline(locks, line);) {
    if (line.find(mine) != std::string::npos && line.find(inode) != std::string::npos) return true;
  }
  return false;
}

// The export's file dialog, or the print dialog's file name, shows the folder of the clerk's
// database: the session keeps its lock on the file all the same.
TEST_F(PrintoutTest, AFileListOverTheDatabasesFolderLeavesTheSessionItsLock) {
  storeadjust::qt::QtUserInterface desktop;
  auto session = db.Open();
  session->OpenRecordset("select count(*) from ckdbdzk");
  ASSERT_TRUE(HoldsLockOn(db.Path()));
  // Opened on the file itself, as the print dialog's "..." opens on the name typed there.
  QFileDialog dialog(nullptr, QString(), QString::fromStdString(db.Path()));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  QSignalSpy loaded(dialog.findChild<QFileSystemModel*>(), &QFileSystemModel::directoryLoaded);
  dialog.show();
  loaded.wait(5000);
  QTest::qWait(300);
  EXPECT_TRUE(HoldsLockOn(db.Path()));
  // The print dialog's and the preview's own file dialogs are Qt's too, never the desktop's.
  EXPECT_TRUE(QCoreApplication::testAttribute(Qt::AA_DontUseNativeDialogs));
}

// The database a session works in is never printed over (its replacing confirmed): as the print
// dialog's PDF file it is refused in the dialog, before Qt tries the file (it would open it to
// append, and close it, before asking); painted to directly it is not written. The file, its bills
// and the lock SQLite holds on it stay as they were.
TEST_F(PrintoutTest, APrintoutNeverGoesOverTheOpenDatabase) {
  auto session = db.Open();
  session->OpenRecordset("select count(*) from ckdbdzk");
  const std::string refusal = "文件 " + db.Path() + " 无法写入：它是本程序正在使用的文件（打开着的数据库），没有覆盖它";
  EXPECT_EQ(PrintThroughTheDialogTo(QString::fromStdString(db.Path()), [&] { EXPECT_TRUE(HoldsLockOn(db.Path())); }),
            QStringList{QString::fromStdString(refusal)});
  EXPECT_TRUE(HoldsLockOn(db.Path()));
  QPrinter printer;
  ToPdf(printer, QString::fromStdString(db.Path()));
  const adodb::Error error = testsupport::ErrorOf([&] { storeadjust::qt::PaintBillSlips(printer, DemoSlips({"DBD202403010001"})); });
  EXPECT_EQ(error.Description(), "打印失败：" + refusal);
  EXPECT_TRUE(HoldsLockOn(db.Path()));
  EXPECT_EQ(session->OpenRecordset("select count(*) from ckdbdzk")->RecordCount(), 1);
}

// The report's export dialog opens where a clerk keeps documents, never in the folder the launcher
// was started from, and then where the clerk last exported to.
TEST_F(PrintoutTest, TheExportDialogOpensInTheDocumentsFolderThenInTheLastOneUsed) {
  const QString started = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(folder.path()));
  QTemporaryDir chosen;
  storeadjust::ScriptedUserInterface ui;
  storeadjust::QvGrid grid(ui);
  QStringList opened;
  QTimer answering;
  QObject::connect(&answering, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    opened << dialog->directory().absolutePath();
    if (opened.size() == 1) {
      dialog->selectFile(chosen.filePath(QStringLiteral("清单.xlsx")));
      QMetaObject::invokeMethod(dialog, "accept");
    } else {
      dialog->reject();
    }
  });
  answering.start(10);
  storeadjust::qt::RunReportCommandOnDesktop(ui, grid, 2, nullptr);
  storeadjust::qt::RunReportCommandOnDesktop(ui, grid, 2, nullptr);
  QDir::setCurrent(started);
  ASSERT_EQ(opened.size(), 2);
  EXPECT_NE(opened[0], QDir(folder.path()).absolutePath());
  EXPECT_TRUE(opened[0] == QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) || opened[0] == QDir::homePath());
  EXPECT_EQ(opened[1], QDir(chosen.path()).absolutePath());
}

}  // namespace
