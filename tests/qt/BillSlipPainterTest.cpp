// Transfer slips printed to PDF and read back with pdftotext: what a clerk finds on the paper
// (serials, warehouse names, goods, totals, signatures, page numbers), and a long bill going on
// to a second page with its column headers again.
#include <gtest/gtest.h>

#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "db/DatabaseFactory.h"
#include "host/BillSlip.h"
#include "qt/BillSlipPainter.h"
#include "support/TempDatabase.h"

namespace {

using storeadjust::BillSlip;

class BillSlipPainterTest : public ::testing::Test {
 protected:
  // Prints the slips to a PDF file; the pages painted.
  int PrintToPdf(const std::vector<BillSlip>& slips) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(PdfPath());
    storeadjust::qt::UseSlipPageLayout(printer);
    return storeadjust::qt::PaintBillSlips(printer, slips);
  }
  QString PdfPath() const { return folder_.filePath(QStringLiteral("slips.pdf")); }
  // The text of page `page` (1-based) without blanks and line breaks: pdftotext drops some
  // blanks between Chinese characters and keeps others.
  QString PdfText(int page) const {
    const QString number = QString::number(page);
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-f"), number, QStringLiteral("-l"), number, PdfPath(), QStringLiteral("-")});
    EXPECT_TRUE(pdftotext.waitForFinished(30000));
    QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    return text;
  }
  std::vector<BillSlip> DemoSlips(const std::vector<std::string>& serials) {
    return storeadjust::ReadBillSlips(*db_.Open(), "ckdbdzk", "ckdbdzkmx", serials);
  }

  QTemporaryDir folder_;
  testsupport::TempDatabase db_{storeadjust::db::CreateDemoDatabase};
};

TEST_F(BillSlipPainterTest, TwoBillsPrintOnAPageEachWithTheirWarehousesGoodsAndTotals) {
  ASSERT_EQ(PrintToPdf(DemoSlips({"DBD202403010001", "DBD202403020004"})), 2);
  const QString first = PdfText(1);
  for (const char* expected : {"仓库调拨单", "DBD202403010001", "2024-03-01", "总仓", "一号门店仓", "阿莫西林胶囊",
                               "布洛芬缓释胶囊", "感冒灵颗粒", "230208", "2025-02-08", "0.25g*24粒", "443.20", "712.60",
                               "本页合计", "合计", "发货人", "承运人", "收货人", "制单", "系统管理员", "第1页共1页"}) {
    EXPECT_TRUE(first.contains(QString::fromUtf8(expected))) << expected << "\n" << first.toStdString();
  }
  EXPECT_FALSE(first.contains(QStringLiteral("DBD202403020004")));
  const QString second = PdfText(2);
  for (const char* expected : {"DBD202403020004", "二号门店仓", "一号门店仓", "奥美拉唑肠溶胶囊", "李四", "59.40"}) {
    EXPECT_TRUE(second.contains(QString::fromUtf8(expected))) << expected << "\n" << second.toStdString();
  }
}

TEST_F(BillSlipPainterTest, ALongBillGoesOnToFurtherPagesWithTheColumnHeadersAgain) {
  QPrinter probe(QPrinter::HighResolution);
  storeadjust::qt::UseSlipPageLayout(probe);
  const std::size_t perPage = storeadjust::qt::SlipLinesPerPage(probe);
  ASSERT_GT(perPage, 20u);
  BillSlip slip = DemoSlips({"DBD202403010001"})[0];
  const storeadjust::BillSlipLine line = slip.lines[0];
  slip.lines.clear();
  for (std::size_t i = 0; i < perPage + 1; ++i) {
    slip.lines.push_back(line);
    slip.lines.back().goodsNumber = "G" + std::to_string(1000 + i);
    slip.lines.back().quantity = 1;
  }
  ASSERT_EQ(PrintToPdf({slip}), 2);
  const QString first = PdfText(1), second = PdfText(2);
  EXPECT_TRUE(first.contains(QStringLiteral("第1页共2页")));
  EXPECT_TRUE(second.contains(QStringLiteral("第2页共2页")));
  EXPECT_TRUE(second.contains(QStringLiteral("零售总额")));  // the headers again
  EXPECT_TRUE(second.contains(QStringLiteral("DBD202403010001")));
  EXPECT_TRUE(second.contains(QString::fromStdString("G" + std::to_string(1000 + perPage))));
  EXPECT_FALSE(second.contains(QStringLiteral("G1000")));
  // The bill's totals close the last page only: page 1 sums its own lines, page 2 the one left.
  EXPECT_TRUE(first.contains(QStringLiteral("本页合计")));
  EXPECT_EQ(first.count(QStringLiteral("合计")), 1);
  EXPECT_EQ(second.count(QStringLiteral("合计")), 2);
  EXPECT_TRUE(second.contains(QString::number(perPage + 1)));
}

}  // namespace
