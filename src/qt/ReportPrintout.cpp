#include "qt/ReportPrintout.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <numeric>
#include <vector>

#include "adodb/Error.h"
#include "host/QvGrid.h"
#include "qt/PrintedFile.h"
#include "qt/QtText.h"

namespace storeadjust::qt {

namespace {

// Text is drawn whole even where a measurement falls a hair short: never clipped, never wrapped.
constexpr int kWhole = Qt::TextDontClip | Qt::TextSingleLine;

class ReportPages {
 public:
  ReportPages(const QvGrid& grid, QPrinter& printer)
      : grid_(grid), printer_(printer), painter_(&printer), page_(printer.pageLayout().paintRectPixels(printer.resolution())) {
    if (!painter_.isActive()) throw adodb::Error(adodb::errnum::kProviderError, PrintFailureText(printer), "QvGrid");
    body_ = QApplication::font();
    body_.setPointSize(grid.Properties().fontSize);
    title_ = body_;
    title_.setBold(true);
    title_.setPointSizeF(body_.pointSizeF() * 1.5);
    painter_.setFont(body_);
    rowHeight_ = QFontMetricsF(body_, &printer).height() * 1.4;
    titleHeight_ = QFontMetricsF(title_, &printer).height() * 1.6 + rowHeight_;
    footerHeight_ = rowHeight_ * 1.5;
    MeasureColumns();
    ScaleToPageWidth();
  }

  void Paint() {
    const long rows = grid_.Rows() - 1;
    const long firstPageRows = RowsFitting(height_ - titleHeight_);
    const long otherPageRows = RowsFitting(height_);
    const long pages = rows <= firstPageRows ? 1 : 1 + (rows - firstPageRows + otherPageRows - 1) / otherPageRows;
    long row = 1;
    for (long page = 1; page <= pages; ++page) {
      if (page > 1) printer_.newPage();
      double y = 0;
      if (page == 1) y = PaintTitle();
      y = PaintRow(0, y, true);
      const long last = std::min(rows, row - 1 + (page == 1 ? firstPageRows : otherPageRows));
      for (; row <= last; ++row) y = PaintRow(row, y, false);
      PaintFooter(page, pages);
    }
  }

 private:
  long RowsFitting(double height) const {
    return std::max(1L, static_cast<long>((height - footerHeight_ - rowHeight_) / rowHeight_));
  }

  // Every column as wide as its widest text, the bold header included: a printout that cuts a
  // digit off shows a different number, so nothing is sampled and nothing is narrowed.
  void MeasureColumns() {
    const QFontMetricsF metrics(body_, &printer_);
    QFont headerFont = body_;
    headerFont.setBold(true);
    const QFontMetricsF headerMetrics(headerFont, &printer_);
    padding_ = metrics.averageCharWidth() / 2;
    for (long col = 0; col < grid_.Cols(); ++col) {
      double width = headerMetrics.horizontalAdvance(ToQt(grid_.TextMatrix(0, col)));
      for (long row = 1; row < grid_.Rows(); ++row) {
        width = std::max(width, metrics.horizontalAdvance(ToQt(grid_.ShownText(row, col))));
      }
      widths_.push_back(width + padding_ * 2 + metrics.averageCharWidth());
    }
  }

  // A report wider than the paper is drawn smaller as a whole, so that every column keeps all of
  // its text; the page then holds proportionally more rows. Below a readable size it is still
  // scaled rather than cut: small type can be read with care, a missing digit cannot.
  void ScaleToPageWidth() {
    const double total = std::accumulate(widths_.begin(), widths_.end(), 0.0);
    width_ = page_.width();
    height_ = page_.height();
    if (total <= width_) return;
    const double scale = width_ / total;
    painter_.scale(scale, scale);
    width_ /= scale;
    height_ /= scale;
  }

  double PaintTitle() {
    painter_.setFont(title_);
    const double titleLine = QFontMetricsF(title_, &printer_).height() * 1.6;
    painter_.drawText(QRectF(0, 0, width_, titleLine), kWhole | Qt::AlignCenter, ToQt(grid_.PrintedTitle()));
    painter_.setFont(body_);
    painter_.drawText(QRectF(0, titleLine, width_, rowHeight_), kWhole | Qt::AlignCenter,
                      ToQt("期间：" + grid_.StartDate() + " 至 " + grid_.EndDate()));
    return titleHeight_;
  }

  double PaintRow(long row, double y, bool header) {
    QFont font = body_;
    font.setBold(header);
    painter_.setFont(font);
    double x = 0;
    for (long col = 0; col < grid_.Cols(); ++col) {
      const QRectF cell(x, y, widths_[static_cast<std::size_t>(col)], rowHeight_);
      const bool right = !header && grid_.ColAlignment(col) == GridModel::Alignment::Right;
      painter_.drawText(cell.adjusted(padding_, 0, -padding_, 0), kWhole | Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft),
                        ToQt(grid_.ShownText(row, col)));
      x += cell.width();
    }
    if (header) painter_.drawLine(QPointF(0, y + rowHeight_), QPointF(x, y + rowHeight_));
    return y + rowHeight_;
  }

  void PaintFooter(long page, long pages) {
    painter_.setFont(body_);
    painter_.drawText(QRectF(0, height_ - footerHeight_, width_, footerHeight_), kWhole | Qt::AlignCenter,
                      QStringLiteral("第 %1 页 共 %2 页").arg(page).arg(pages));
  }

  const QvGrid& grid_;
  QPrinter& printer_;
  QPainter painter_;
  QRect page_;
  QFont body_, title_;
  double width_ = 0, height_ = 0;  // the page in the painter's (possibly scaled) units
  double rowHeight_ = 0, titleHeight_ = 0, footerHeight_ = 0, padding_ = 0;
  std::vector<double> widths_;
};

}  // namespace

void SetUpReportPrinter(const QvGrid& grid, QPrinter& printer) {
  printer.setPageOrientation(grid.Properties().orientation == PageOrientation::Landscape ? QPageLayout::Landscape
                                                                                         : QPageLayout::Portrait);
}

void PaintReport(const QvGrid& grid, QPrinter& printer) {
  RefuseFileInUse(printer);
  ReportPages pages(grid, printer);
  pages.Paint();
}

}  // namespace storeadjust::qt
