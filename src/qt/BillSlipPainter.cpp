#include "qt/BillSlipPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <array>
#include <cmath>

#include "adodb/Error.h"
#include "host/NumberHelpers.h"
#include "qt/CjkFont.h"
#include "qt/PrintedFile.h"

namespace storeadjust::qt {

namespace {

constexpr double kMarginMm = 12;
constexpr double kTitleMm = 12;
constexpr double kHeaderRowMm = 6.5;
constexpr int kHeaderRows = 3;  // serial and date; the warehouses; the remark
constexpr double kGapMm = 2;
constexpr double kRowMm = 6.5;
constexpr double kPeopleMm = 8;
constexpr double kSignaturesMm = 12;
constexpr double kFooterMm = 6;
// Every page keeps room for the page totals and the bill totals, so all pages hold as many lines.
constexpr int kTotalRows = 2;

// How a text too wide for its box is fitted: drawn narrower, down to kNarrowestText of its width
// and then shortened with "…" (a name; a remark wraps instead), or drawn as narrow as it takes (a
// figure, a goods number or a batch, which cut short would read as another one).
enum class Fit { Shorten, Whole };
constexpr double kNarrowestText = 0.6;
constexpr int kWrapped = Qt::TextWrapAnywhere;

struct Column {
  const char* caption;
  double weight;
  bool number;
  Fit fit;
};

constexpr std::array<Column, 11> kColumns{{
    {"货号", 8, false, Fit::Whole},
    {"品名", 20, false, Fit::Shorten},
    {"规格", 13, false, Fit::Shorten},
    {"单位", 6, false, Fit::Whole},
    {"批号", 10, false, Fit::Whole},
    {"效期", 11, false, Fit::Whole},
    {"数量", 8, true, Fit::Whole},
    {"单价", 8, true, Fit::Whole},
    {"金额", 9, true, Fit::Whole},
    {"零售总额", 9, true, Fit::Whole},
    {"货位", 14, false, Fit::Whole},
}};
constexpr std::size_t kQuantityColumn = 6;
constexpr std::size_t kAmountColumn = 8;
constexpr std::size_t kRetailColumn = 9;
// Shown only on the slip of a bill some line of which lies on goods places: the others keep the
// width for their names.
constexpr std::size_t kPlacesColumn = 10;

QString Q(const std::string& text) { return QString::fromStdString(text); }

// A price or an amount in cents, with every further place it is stored with (money keeps 4), and
// a sum free of binary noise: a slip that printed a stored 7.6445 as 7.64 no longer agreed with its
// own amount, and returns adding up to nothing printed -0.00.
QString MoneyText(double value) { return Q(NumberWithPlaces(value, 2)); }

// Quantities and prices at the site's places, as the editor's grid shows them, so that a column
// reads 77.00 beside 13.50 and not 77 beside 13.5; a figure stored with more places shows whole.
QString QuantityText(double value, const NumberPlaces& places) { return Q(NumberWithPlaces(value, places.quantity)); }
QString PriceText(double value, const NumberPlaces& places) {
  return places.price < 0 ? MoneyText(value) : Q(NumberWithPlaces(value, places.price));
}

// Sizes on the device, from millimetres.
class Ruler {
 public:
  explicit Ruler(QPaintDevice& device) : perMm_(device.logicalDpiY() / 25.4) {}
  double operator()(double mm) const { return mm * perMm_; }

 private:
  double perMm_;
};

double FixedHeightMm() {
  return kTitleMm + kHeaderRows * kHeaderRowMm + kGapMm + kRowMm /* column headers */ + kTotalRows * kRowMm + kGapMm +
         kPeopleMm + kSignaturesMm + kFooterMm;
}

std::size_t LinesPerPage(double pageHeightMm) {
  const double room = pageHeightMm - FixedHeightMm();
  return static_cast<std::size_t>(std::max(1.0, std::floor(room / kRowMm)));
}

double PageHeightMm(QPagedPaintDevice& device) {
  return device.pageLayout().paintRect(QPageLayout::Millimeter).height();
}

QFont SlipFont(const QString& cjk, double points, bool bold = false) {
  QFont font;
  if (!cjk.isEmpty()) font.setFamilies({cjk});
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

// One page of one bill.
class SlipPage {
 public:
  // The fonts are made once: looking the family up for every row costs more than painting it.
  SlipPage(QPainter& painter, const Ruler& mm, double width)
      : painter_(painter),
        mm_(mm),
        width_(width),
        cjk_(CjkFontFamily()),
        title_(SlipFont(cjk_, 16, true)),
        header_(SlipFont(cjk_, 10)),
        cell_(SlipFont(cjk_, 9)),
        boldCell_(SlipFont(cjk_, 9, true)) {}

  // The rows the remark takes: one, narrowed as a name is where that is enough, else as many as
  // it takes wrapped, so that nothing a clerk wrote to the keepers is cut off the paper.
  int RemarkRows(const BillSlip& slip) const {
    const QFontMetricsF metrics(header_, painter_.device());
    const QString text = RemarkText(slip);
    if (metrics.horizontalAdvance(text) * kNarrowestText <= width_) return 1;
    const QRectF needed = metrics.boundingRect(QRectF(0, 0, width_, 1e9), kWrapped, text);
    return std::max(1, static_cast<int>(std::ceil(needed.height() / mm_(kHeaderRowMm))));
  }

  void Paint(const BillSlip& slip, std::size_t first, std::size_t count, int page, int pages) {
    LayOutColumns(std::any_of(slip.lines.begin(), slip.lines.end(),
                              [](const BillSlipLine& line) { return !line.goodsPlaces.empty(); }));
    y_ = 0;
    PaintTitle();
    PaintHeader(slip);
    y_ += mm_(kGapMm);
    PaintRow(ColumnCaptions(), true);
    for (std::size_t i = first; i < first + count; ++i) PaintRow(LineCells(slip.lines[i], slip.places), false);
    PaintTotals("本页合计", SlipTotals(slip, first, count), slip);
    if (page == pages) PaintTotals("合计", SlipTotals(slip), slip);
    y_ += mm_(kGapMm);
    PaintPeople(slip);
    PaintSignatures();
    PaintPageNumber(page, pages);
  }

 private:
  using Cells = std::array<QString, kColumns.size()>;

  // A column left out has no width, and nothing of it is drawn.
  void LayOutColumns(bool withPlaces) {
    const auto shown = [withPlaces](std::size_t i) { return withPlaces || i != kPlacesColumn; };
    double total = 0;
    for (std::size_t i = 0; i < kColumns.size(); ++i) total += shown(i) ? kColumns[i].weight : 0;
    double x = 0;
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
      lefts_[i] = x;
      widths_[i] = shown(i) ? width_ * kColumns[i].weight / total : 0;
      x += widths_[i];
    }
  }

  void Text(const QRectF& box, int flags, const QString& text, Fit fit = Fit::Shorten) {
    constexpr int kDrawn = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip;
    const QFontMetricsF metrics(painter_.font(), painter_.device());
    const double width = metrics.horizontalAdvance(text);
    if (width <= box.width()) {
      painter_.drawText(box, flags | kDrawn, text);
      return;
    }
    double narrowed = box.width() / width;
    QString shown = text;
    if (fit == Fit::Shorten && narrowed < kNarrowestText) {
      narrowed = kNarrowestText;
      shown = metrics.elidedText(text, Qt::ElideRight, box.width() / narrowed);
    }
    painter_.save();
    painter_.translate(box.left(), 0);
    painter_.scale(narrowed, 1);
    painter_.drawText(QRectF(0, box.top(), box.width() / narrowed, box.height()), flags | kDrawn, shown);
    painter_.restore();
  }

  void PaintTitle() {
    painter_.setFont(title_);
    Text(QRectF(0, y_, width_, mm_(kTitleMm)), Qt::AlignHCenter, QStringLiteral("仓库调拨单"));
    y_ += mm_(kTitleMm);
  }

  void PaintHeader(const BillSlip& slip) {
    painter_.setFont(header_);
    const double half = width_ / 2;
    const double row = mm_(kHeaderRowMm);
    Text(QRectF(0, y_, half, row), Qt::AlignLeft, QStringLiteral("流水号：") + Q(slip.serial), Fit::Whole);
    Text(QRectF(half, y_, half, row), Qt::AlignLeft, QStringLiteral("日期：") + Q(slip.date), Fit::Whole);
    y_ += row;
    Text(QRectF(0, y_, half, row), Qt::AlignLeft,
         QStringLiteral("拨出仓库：") + Q(slip.outWarehouseId) + QLatin1Char(' ') + Q(slip.outWarehouseName));
    Text(QRectF(half, y_, half, row), Qt::AlignLeft,
         QStringLiteral("拨入仓库：") + Q(slip.inWarehouseId) + QLatin1Char(' ') + Q(slip.inWarehouseName));
    y_ += row;
    const int rows = RemarkRows(slip);
    const QRectF remark(0, y_, width_, row * rows);
    if (rows == 1) {
      Text(remark, Qt::AlignLeft, RemarkText(slip));
    } else {
      painter_.drawText(remark, Qt::AlignLeft | Qt::AlignTop | kWrapped, RemarkText(slip));
    }
    y_ += row * rows;
  }

  // Line breaks in a remark read as blanks, as on one row.
  static QString RemarkText(const BillSlip& slip) {
    QString text = QStringLiteral("备注：") + Q(slip.remark);
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
  }

  static Cells ColumnCaptions() {
    Cells cells;
    for (std::size_t i = 0; i < kColumns.size(); ++i) cells[i] = QString::fromUtf8(kColumns[i].caption);
    return cells;
  }

  static Cells LineCells(const BillSlipLine& line, const NumberPlaces& places) {
    return {Q(line.goodsNumber),    Q(line.goodsName),     Q(line.packSize),
            Q(line.unit),           Q(line.batch),         Q(line.expiry),
            QuantityText(line.quantity, places), PriceText(line.price, places),
            MoneyText(line.amount), MoneyText(line.retailTotal), Q(line.goodsPlaces)};
  }

  void PaintRow(const Cells& cells, bool heading) {
    painter_.setFont(heading ? boldCell_ : cell_);
    const double height = mm_(kRowMm);
    const double pad = mm_(1);
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
      if (widths_[i] <= 0) continue;
      const QRectF cell(lefts_[i], y_, widths_[i], height);
      painter_.drawRect(cell);
      const int align = heading ? Qt::AlignHCenter : (kColumns[i].number ? Qt::AlignRight : Qt::AlignLeft);
      Text(cell.adjusted(pad, 0, -pad, 0), align, cells[i], heading ? Fit::Whole : kColumns[i].fit);
    }
    y_ += height;
  }

  // The caption spans the text columns; the sums stand under their columns.
  void PaintTotals(const char* caption, const BillSlipTotals& totals, const BillSlip& slip) {
    painter_.setFont(boldCell_);
    const double height = mm_(kRowMm);
    const double pad = mm_(1);
    const QRectF label(0, y_, lefts_[kQuantityColumn], height);
    painter_.drawRect(label);
    Text(label.adjusted(pad, 0, -pad, 0), Qt::AlignLeft, QString::fromUtf8(caption));
    for (std::size_t i = kQuantityColumn; i < kColumns.size(); ++i) {
      if (widths_[i] <= 0) continue;
      const QRectF cell(lefts_[i], y_, widths_[i], height);
      painter_.drawRect(cell);
      QString text;
      if (i == kQuantityColumn && totals.oneUnit) text = QuantityText(totals.quantity, slip.places);
      if (i == kAmountColumn && !slip.hidesAmountTotal) text = MoneyText(totals.amount);
      if (i == kRetailColumn) text = MoneyText(totals.retailTotal);
      Text(cell.adjusted(pad, 0, -pad, 0), Qt::AlignRight, text, Fit::Whole);
    }
    y_ += height;
  }

  void PaintPeople(const BillSlip& slip) {
    painter_.setFont(header_);
    const double half = width_ / 2;
    Text(QRectF(0, y_, half, mm_(kPeopleMm)), Qt::AlignLeft, QStringLiteral("制单：") + Q(slip.maker));
    Text(QRectF(half, y_, half, mm_(kPeopleMm)), Qt::AlignLeft, QStringLiteral("审核：") + Q(slip.auditor));
    y_ += mm_(kPeopleMm);
  }

  // Each signer gets a caption and a line to sign on.
  void PaintSignatures() {
    painter_.setFont(header_);
    const char* const signers[] = {"发货人：", "承运人：", "收货人："};
    const double third = width_ / 3;
    const double baseline = y_ + mm_(kSignaturesMm) - mm_(3);
    for (int i = 0; i < 3; ++i) {
      const double left = third * i;
      const QString caption = QString::fromUtf8(signers[i]);
      const double captionWidth = painter_.fontMetrics().horizontalAdvance(caption);
      painter_.drawText(QPointF(left, baseline), caption);
      painter_.drawLine(QPointF(left + captionWidth, baseline + mm_(0.8)),
                        QPointF(left + third - mm_(6), baseline + mm_(0.8)));
    }
    y_ += mm_(kSignaturesMm);
  }

  void PaintPageNumber(int page, int pages) {
    painter_.setFont(cell_);
    const double bottom = painter_.viewport().height();
    Text(QRectF(0, bottom - mm_(kFooterMm), width_, mm_(kFooterMm)), Qt::AlignHCenter,
         QStringLiteral("第 %1 页 共 %2 页").arg(page).arg(pages));
  }

  QPainter& painter_;
  const Ruler& mm_;
  double width_;
  QString cjk_;
  QFont title_, header_, cell_, boldCell_;
  double y_ = 0;
  std::array<double, kColumns.size()> lefts_{};
  std::array<double, kColumns.size()> widths_{};
};

}  // namespace

void UseSlipPageLayout(QPagedPaintDevice& device) {
  device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                   QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter));
}

std::size_t SlipLinesPerPage(QPagedPaintDevice& device) { return LinesPerPage(PageHeightMm(device)); }

int PaintBillSlips(QPagedPaintDevice& device, const std::vector<BillSlip>& slips) {
  const auto* printer = dynamic_cast<const QPrinter*>(&device);
  if (printer != nullptr) RefuseFileInUse(*printer);
  QPainter painter;
  if (!painter.begin(&device)) {
    throw adodb::Error(adodb::errnum::kProviderError,
                       printer != nullptr ? PrintFailureText(*printer) : "打印失败：打印机或输出文件无法打开",
                       "PrintComponent");
  }
  const Ruler mm(device);
  SlipPage page(painter, mm, painter.viewport().width());
  int painted = 0;
  for (const BillSlip& slip : slips) {
    // A remark over several rows leaves room for fewer lines on each of its bill's pages.
    const std::size_t perPage = LinesPerPage(PageHeightMm(device) - (page.RemarkRows(slip) - 1) * kHeaderRowMm);
    const std::size_t lines = slip.lines.size();
    const int pages = static_cast<int>(std::max<std::size_t>(1, (lines + perPage - 1) / perPage));
    for (int n = 1; n <= pages; ++n) {
      if (painted > 0) device.newPage();
      const std::size_t first = static_cast<std::size_t>(n - 1) * perPage;
      page.Paint(slip, first, std::min(perPage, lines - std::min(first, lines)), n, pages);
      ++painted;
    }
  }
  painter.end();
  return painted;
}

}  // namespace storeadjust::qt
