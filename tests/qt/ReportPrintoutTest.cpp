// The report printed to PDF and read back with pdftotext, on portrait and landscape paper: every
// value of the grid is on the paper whole (no digit cut off either side, nothing shortened), and
// a report far wider than the page is drawn smaller rather than cut.
#include <gtest/gtest.h>

#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <string>

#include "browse/BrowseReportQuery.h"
#include "db/DatabaseFactory.h"
#include "host/QvGrid.h"
#include "host/ScriptedUserInterface.h"
#include "qt/CjkFont.h"
#include "qt/ReportPrintout.h"
#include "support/TempDatabase.h"

namespace {

using storeadjust::PageOrientation;
using storeadjust::QvGrid;

class ReportPrintoutTest : public ::testing::Test {
 protected:
  void SetUp() override { storeadjust::qt::UseCjkFontFallback(); }

  void Load(const std::string& query) {
    grid.SetConnectStr(db.ConnStr());
    grid.SetDataSource(query);
    grid.SetReportName("仓库调拨单--浏览");
    grid.SetStartDate("2024-03-05");
    grid.SetEndDate("2024-03-05");
    grid.Reload();
  }

  void PrintToPdf(PageOrientation orientation) {
    storeadjust::ReportProperties properties = grid.Properties();
    properties.orientation = orientation;
    grid.SetProperties(properties);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(PdfPath());
    storeadjust::qt::SetUpReportPrinter(grid, printer);
    storeadjust::qt::PaintReport(grid, printer);
  }

  QString PdfPath() const { return folder.filePath(QStringLiteral("report.pdf")); }
  // Every page's text, laid out as printed, so that neighbouring cells stay apart.
  QString PdfText() const {
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), PdfPath(), QStringLiteral("-")});
    EXPECT_TRUE(pdftotext.waitForFinished(30000));
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
  }

  // Each cell's text stands on the paper as a whole word: no digit, letter or point right
  // before or after it that would make it a different number ("0.8" inside "10.8" does not count).
  void ExpectEveryValueWhole(const QString& text) const {
    long checked = 0;
    for (long row = 0; row < grid.Rows(); ++row) {
      for (long col = 0; col < grid.Cols(); ++col) {
        const QString value = QString::fromStdString(grid.TextMatrix(row, col));
        if (value.isEmpty()) continue;
        const QStringList words = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);  // a date and its time
        for (const QString& word : words) {
          const QRegularExpression whole(QStringLiteral("(?<![\\w.])") + QRegularExpression::escape(word) +
                                         QStringLiteral("(?![\\w.])"));
          EXPECT_TRUE(text.contains(whole)) << "row " << row << " column " << col << ": " << word.toStdString();
          ++checked;
        }
      }
    }
    EXPECT_GT(checked, 0);
  }

  testsupport::TempDatabase db{storeadjust::db::CreateDemoDatabase};
  storeadjust::ScriptedUserInterface ui;
  QvGrid grid{ui};
  QTemporaryDir folder;
};

// Right-aligned numbers lost their leading digits and left-aligned codes their last ones when a
// column was narrowed: the browse report on portrait paper, and a wide remark that pushes every
// other column far past the paper's edge, must both print every value whole.
TEST_F(ReportPrintoutTest, EveryValuePrintsWholeInPortraitAndLandscapeHoweverWideTheReport) {
  const std::string remark(120, 'W');
  const std::string wide = "select '" + remark + "' as 备注, 'DBD202403050005' as 流水号, '0014' as 货号, 182.4 as 金额, "
                           "10.8 as 数量, 1234567.25 as 单价 union all "
                           "select 'x', 'DBD202403050006', '0015', 9.5, 0.8, 3 ";
  for (const std::string& query : {storeadjust::BrowseReportQuery(""), wide}) {
    Load(query);
    ASSERT_GT(grid.Rows(), 2);
    for (const PageOrientation orientation : {PageOrientation::Portrait, PageOrientation::Landscape}) {
      SCOPED_TRACE(orientation == PageOrientation::Portrait ? "portrait" : "landscape");
      PrintToPdf(orientation);
      const QString text = PdfText();
      ExpectEveryValueWhole(text);
      EXPECT_TRUE(text.contains(QStringLiteral("第 1 页")) || text.contains(QStringLiteral("第1页")));
    }
  }
}

}  // namespace
