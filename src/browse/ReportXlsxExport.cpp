#include "browse/ReportXlsxExport.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "adodb/Error.h"
#include "host/CellText.h"
#include "host/FileNotWritten.h"
#include "host/NumberHelpers.h"
#include "host/QuantityUnits.h"
#include "host/QvGrid.h"

namespace storeadjust {

namespace {

constexpr int kXlsxHeaderRow = 2;  // below the title and the period
constexpr long kTotalsRows = 1;
constexpr long kMaxSheetRows = 1048576;
constexpr const char* kTotalsLabel = "合计";
// Cents at least, and every further place a value has up to the six a screen shows: a quantity of
// 1.2345 or a price of 9.8765 shown as 1.23 and 9.88 was not what the bill holds.
constexpr const char* kNumberFormat = "#,##0.00####";
constexpr int kMostPlaces = 6;
constexpr std::size_t kMaxCellText = 32767;  // a cell holds no more
constexpr long kRowsSampledForWidth = 200;
constexpr double kMaxColumnWidth = 60;

adodb::Error ExportFailure(const std::string& path, const std::string& reason) {
  return adodb::Error(adodb::errnum::kProviderError, "导出失败：" + path + "：" + reason, "Excel");
}

// A workbook that could not be made says why, where the folder or its rights tell.
void Check(lxw_error result, const std::string& path) {
  if (result == LXW_NO_ERROR) return;
  const std::string why = result == LXW_ERROR_CREATING_XLSX_FILE ? WhyFileNotWritten(path) : std::string();
  throw ExportFailure(path, why.empty() ? lxw_strerror(result) : why);
}

// A text cut to what a cell holds, never inside a UTF-8 character.
std::string CellSized(std::string text) {
  if (text.size() <= kMaxCellText) return text;
  std::size_t end = kMaxCellText;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text;
}

// A column of prices per unit (单价, 零售价): their sum is no price and no amount of anything, so it
// gets no total. A caption naming an amount or a total as well (金额, 价税合计) is summed.
bool NamesUnitPrice(const std::string& caption) {
  const auto names = [&caption](const char* word) { return caption.find(word) != std::string::npos; };
  return names("价") && !names("额") && !names("合计") && !names("总");
}

// Characters as a spreadsheet measures a column: a Chinese character takes two.
double DisplayWidth(const std::string& text) {
  double width = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) == 0x80) continue;
    width += c >= 0xE0 ? 2 : 1;
  }
  return width;
}

// The workbook for the life of one export: closed (and the file written) by Close, or dropped
// with its file when the export fails half-way.
class Workbook {
 public:
  explicit Workbook(const std::string& path) : path_(path) {
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.use_zip64 = LXW_TRUE;
    workbook_ = workbook_new_opt(path.c_str(), &options);
    if (workbook_ == nullptr) throw ExportFailure(path, "无法创建工作簿");
  }
  ~Workbook() {
    if (workbook_ == nullptr) return;
    workbook_close(workbook_);
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  Workbook(const Workbook&) = delete;
  Workbook& operator=(const Workbook&) = delete;

  lxw_workbook* Get() const { return workbook_; }
  void Close() {
    lxw_workbook* workbook = workbook_;
    workbook_ = nullptr;
    const lxw_error result = workbook_close(workbook);
    if (result != LXW_NO_ERROR) {
      std::error_code ignored;
      std::filesystem::remove(path_, ignored);
      Check(result, path_);
    }
  }

 private:
  std::string path_;
  lxw_workbook* workbook_ = nullptr;
};

struct Formats {
  lxw_format* title;
  lxw_format* header;
  lxw_format* date;
  lxw_format* dateTime;
  lxw_format* number;
  lxw_format* totalsLabel;
  lxw_format* totalsNumber;
  // "#,##0", "#,##0.0" ... "#,##0.000000" by places, plain and as totals.
  lxw_format* figure[kMostPlaces + 1];
  lxw_format* totalsFigure[kMostPlaces + 1];
};

Formats MakeFormats(lxw_workbook* workbook) {
  Formats formats{};
  formats.title = workbook_add_format(workbook);
  format_set_bold(formats.title);
  format_set_font_size(formats.title, 14);
  formats.header = workbook_add_format(workbook);
  format_set_bold(formats.header);
  format_set_bottom(formats.header, LXW_BORDER_THIN);
  formats.date = workbook_add_format(workbook);
  format_set_num_format(formats.date, "yyyy-mm-dd");
  formats.dateTime = workbook_add_format(workbook);
  format_set_num_format(formats.dateTime, "yyyy-mm-dd hh:mm:ss");
  formats.number = workbook_add_format(workbook);
  format_set_num_format(formats.number, kNumberFormat);
  formats.totalsLabel = workbook_add_format(workbook);
  format_set_bold(formats.totalsLabel);
  format_set_top(formats.totalsLabel, LXW_BORDER_THIN);
  formats.totalsNumber = workbook_add_format(workbook);
  format_set_bold(formats.totalsNumber);
  format_set_top(formats.totalsNumber, LXW_BORDER_THIN);
  format_set_num_format(formats.totalsNumber, kNumberFormat);
  for (int places = 0; places <= kMostPlaces; ++places) {
    const std::string code = places == 0 ? "#,##0" : "#,##0." + std::string(static_cast<std::size_t>(places), '0');
    formats.figure[places] = workbook_add_format(workbook);
    format_set_num_format(formats.figure[places], code.c_str());
    formats.totalsFigure[places] = workbook_add_format(workbook);
    format_set_bold(formats.totalsFigure[places]);
    format_set_top(formats.totalsFigure[places], LXW_BORDER_THIN);
    format_set_num_format(formats.totalsFigure[places], code.c_str());
  }
  return formats;
}

class SheetWriter {
 public:
  SheetWriter(const QvGrid& grid, lxw_worksheet* sheet, const Formats& formats, const std::string& path)
      : grid_(grid), sheet_(sheet), formats_(formats), path_(path), columns_(grid.ShownColumns()),
        orderColumn_(grid.IsShowOrder() ? 1 : 0), sums_(columns_.size(), 0.0), unitColumn_(UnitColumn(grid)) {}

  void Write() {
    SetUpPage();
    SetColumnWidths();
    WriteTitle();
    WriteHeaders();
    for (std::size_t row = 0; row < grid_.ShownRowCount(); ++row) WriteRow(row);
    WriteTotals();
  }

 private:
  lxw_row_t SheetRow(std::size_t shownRow) const { return static_cast<lxw_row_t>(kXlsxHeaderRow + 1 + shownRow); }
  lxw_col_t SheetCol(std::size_t index) const { return static_cast<lxw_col_t>(index + orderColumn_); }

  void SetUpPage() {
    if (grid_.Properties().orientation == PageOrientation::Landscape) {
      worksheet_set_landscape(sheet_);
    } else {
      worksheet_set_portrait(sheet_);
    }
    worksheet_freeze_panes(sheet_, kXlsxHeaderRow + 1, 0);
    Check(worksheet_repeat_rows(sheet_, kXlsxHeaderRow, kXlsxHeaderRow), path_);
  }

  // Widths from the headers and the first rows: the later rows are on disk before the sheet is
  // done, and a clerk can widen a column himself.
  void SetColumnWidths() {
    if (orderColumn_ != 0) Check(worksheet_set_column(sheet_, 0, 0, 6, nullptr), path_);
    const auto sampled = std::min<std::size_t>(grid_.ShownRowCount(), kRowsSampledForWidth);
    for (std::size_t index = 0; index < columns_.size(); ++index) {
      const std::size_t column = columns_[index];
      double width = DisplayWidth(grid_.Columns()[column].name);
      for (std::size_t row = 0; row < sampled; ++row) {
        width = std::max(width, DisplayWidth(CellText(grid_.Value(row, column))));
      }
      width = std::clamp(width + 2, 8.0, kMaxColumnWidth);
      Check(worksheet_set_column(sheet_, SheetCol(index), SheetCol(index), width, nullptr), path_);
    }
  }

  void WriteTitle() {
    Check(worksheet_write_string(sheet_, 0, 0, CellSized(grid_.PrintedTitle()).c_str(), formats_.title), path_);
    const std::string period = "期间：" + grid_.StartDate() + " 至 " + grid_.EndDate();
    Check(worksheet_write_string(sheet_, 1, 0, CellSized(period).c_str(), nullptr), path_);
  }

  void WriteHeaders() {
    if (orderColumn_ != 0) {
      Check(worksheet_write_string(sheet_, kXlsxHeaderRow, 0, QvGrid::kOrderColumnName, formats_.header), path_);
    }
    for (std::size_t index = 0; index < columns_.size(); ++index) {
      const std::string name = CellSized(grid_.Columns()[columns_[index]].name);
      Check(worksheet_write_string(sheet_, kXlsxHeaderRow, SheetCol(index), name.c_str(), formats_.header), path_);
    }
  }

  // The sums are gathered as the rows go out: in constant-memory mode no row can be read back.
  void WriteRow(std::size_t row) {
    if (orderColumn_ != 0) Check(worksheet_write_number(sheet_, SheetRow(row), 0, double(row + 1), nullptr), path_);
    for (std::size_t index = 0; index < columns_.size(); ++index) {
      const std::size_t column = columns_[index];
      const ReportColumnType type = grid_.Columns()[column].type;
      const adodb::Variant& value = grid_.Value(row, column);
      if (IsSummed(index)) sums_[index] += NumberOf(type, value).value_or(0.0);
      if (unitColumn_ && IsQuantity(index)) {
        units_.Add(NumberOf(type, value).value_or(0.0), CellText(grid_.Value(row, *unitColumn_)));
      }
      WriteCell(SheetRow(row), SheetCol(index), column, value);
    }
  }

  bool IsSummed(std::size_t index) const {
    const ReportColumn& column = grid_.Columns()[columns_[index]];
    return column.type == ReportColumnType::Number && !NamesUnitPrice(column.name);
  }

  // Under the rows: "合计" in the first column that is not summed (the order column when shown),
  // and under every numeric column but unit prices a formula adding up the rows above, carrying
  // its value so that a reader which does not calculate still sees the total.
  void WriteTotals() {
    const lxw_row_t row = SheetRow(grid_.ShownRowCount());
    WriteTotalsLabel(row);
    for (std::size_t index = 0; index < columns_.size(); ++index) {
      if (IsSummed(index) && !(units_.Differ() && IsQuantity(index))) {
        WriteSum(row, SheetCol(index), columns_[index], sums_[index]);
      }
    }
  }

  // 5 克 and 2 千克 add up to no quantity of anything: where the report says each row's unit (a
  // column 单位) and the rows differ in it, the quantity columns get no total; amounts still do.
  static std::optional<std::size_t> UnitColumn(const QvGrid& grid) {
    for (std::size_t column = 0; column < grid.Columns().size(); ++column) {
      if (grid.Columns()[column].name == "单位") return column;
    }
    return std::nullopt;
  }
  bool IsQuantity(std::size_t index) const {
    return grid_.Columns()[columns_[index]].name.find("数量") != std::string::npos;
  }

  void WriteTotalsLabel(lxw_row_t row) {
    std::optional<lxw_col_t> labelCol;
    if (orderColumn_ != 0) labelCol = 0;
    for (std::size_t index = 0; !labelCol && index < columns_.size(); ++index) {
      if (!IsSummed(index)) labelCol = SheetCol(index);
    }
    if (labelCol) Check(worksheet_write_string(sheet_, row, *labelCol, kTotalsLabel, formats_.totalsLabel), path_);
  }

  void WriteSum(lxw_row_t row, lxw_col_t col, std::size_t column, double sum) {
    if (grid_.ShownRowCount() == 0) {
      Check(worksheet_write_number(sheet_, row, col, 0.0, FigureFormat(column, 0, true)), path_);
      return;
    }
    char range[64] = {};
    lxw_rowcol_to_range(range, SheetRow(0), col, row - 1, col);
    const std::string formula = std::string("=SUM(") + range + ")";
    // Adding up binary fractions leaves noise (0.5 + 0.07 is 0.5700000000000001, and 0.3 - 0.1 -
    // 0.2 is -2.8e-17, which a sheet shows as -0.000000): the value kept for a reader is the total
    // to the 15 digits the figures themselves hold, at the places a figure shows with at most.
    const double total = RoundTo(sum, kMostPlaces);
    Check(worksheet_write_formula_num(sheet_, row, col, formula.c_str(), FigureFormat(column, total, true), total),
          path_);
  }

  // Figures as the grid shows them, at their column's places and every further place a figure
  // has (to six): a quantity of 3 is no sum of money and reads 3 where the site keeps whole
  // quantities, not 3.00. Other numbers keep cents at least.
  lxw_format* FigureFormat(std::size_t column, double value, bool total) const {
    const int places = grid_.ShownPlaces(column);
    if (places < 0) return total ? formats_.totalsNumber : formats_.number;
    const std::string text = adodb::FormatNumber(value);
    const std::size_t point = text.find('.');
    const int own = point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
    const int shown = std::clamp(std::max(places, own), 0, kMostPlaces);
    return total ? formats_.totalsFigure[shown] : formats_.figure[shown];
  }

  void WriteCell(lxw_row_t row, lxw_col_t col, std::size_t column, const adodb::Variant& value) {
    if (value.IsNull() || value.IsEmpty()) return;
    const ReportColumnType type = grid_.Columns()[column].type;
    if (const auto number = NumberOf(type, value)) {
      lxw_format* format = type == ReportColumnType::Number ? FigureFormat(column, *number, false) : nullptr;
      Check(worksheet_write_number(sheet_, row, col, *number, format), path_);
      return;
    }
    if (const auto date = DateOf(type, value)) {
      lxw_datetime when = {date->year, date->month, date->day, date->hour, date->minute, double(date->second)};
      Check(worksheet_write_datetime(sheet_, row, col, &when, date->HasTime() ? formats_.dateTime : formats_.date),
            path_);
      return;
    }
    Check(worksheet_write_string(sheet_, row, col, CellSized(CellText(value)).c_str(), nullptr), path_);
  }

  // A value is written as a number when it is one, or when the column holds numbers and its
  // text reads as one (some providers hand computed amounts over as text).
  static std::optional<double> NumberOf(ReportColumnType type, const adodb::Variant& value) {
    switch (value.Type()) {
      case adodb::VariantType::Integer:
      case adodb::VariantType::Double:
      case adodb::VariantType::Currency:
      case adodb::VariantType::Boolean:
        return type == ReportColumnType::Date ? std::nullopt : std::optional<double>(value.AsDouble());
      case adodb::VariantType::Text: {
        double number = 0;
        if (type == ReportColumnType::Number && adodb::ParseNumber(value.RawText(), number)) return number;
        return std::nullopt;
      }
      default:
        return std::nullopt;
    }
  }

  // Spreadsheet dates start in 1900; an earlier one stays text.
  static std::optional<adodb::Date> DateOf(ReportColumnType type, const adodb::Variant& value) {
    std::optional<adodb::Date> date;
    if (value.Type() == adodb::VariantType::Date) date = value.RawDate();
    if (value.Type() == adodb::VariantType::Text && type == ReportColumnType::Date) {
      date = adodb::Date::Parse(value.RawText());
    }
    if (date && (date->year < 1900 || !date->IsValid())) return std::nullopt;
    return date;
  }

  const QvGrid& grid_;
  lxw_worksheet* sheet_;
  const Formats& formats_;
  const std::string& path_;
  const std::vector<std::size_t> columns_;
  const std::size_t orderColumn_;
  std::vector<double> sums_;  // per shown column, of the rows written so far
  const std::optional<std::size_t> unitColumn_;
  QuantityUnits units_;  // of the rows written so far
};

}  // namespace

void ExportReportToXlsx(const QvGrid& grid, const std::string& path) {
  if (static_cast<long>(grid.ShownRowCount()) + kXlsxHeaderRow + 1 + kTotalsRows > kMaxSheetRows) {
    throw ExportFailure(path, "报表行数超过Excel工作表的上限");
  }
  if (const std::string why = WhyFileKeptFromWriting(path); !why.empty()) throw ExportFailure(path, why);
  Workbook workbook(path);
  lxw_worksheet* sheet = workbook_add_worksheet(workbook.Get(), nullptr);
  if (sheet == nullptr) throw ExportFailure(path, "无法添加工作表");
  const Formats formats = MakeFormats(workbook.Get());
  SheetWriter(grid, sheet, formats, path).Write();
  workbook.Close();
}

}  // namespace storeadjust
