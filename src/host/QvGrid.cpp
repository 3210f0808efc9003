#include "host/QvGrid.h"

#include <algorithm>
#include <numeric>

#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "adodb/TextCompare.h"
#include "host/CellText.h"
#include "host/NumberHelpers.h"

namespace storeadjust {

namespace {

constexpr long kMinimumColumnTwips = 900;
constexpr int kCentPlaces = 2;

ReportColumnType TypeOfValues(const adodb::RowTable& rows, std::size_t column) {
  for (const adodb::Row row : rows) {
    switch (row[column].Type()) {
      case adodb::VariantType::Empty:
      case adodb::VariantType::Null:
        continue;
      case adodb::VariantType::Boolean:
      case adodb::VariantType::Integer:
      case adodb::VariantType::Double:
      case adodb::VariantType::Currency:
        return ReportColumnType::Number;
      case adodb::VariantType::Date:
        return ReportColumnType::Date;
      case adodb::VariantType::Text:
        return ReportColumnType::Text;
    }
  }
  return ReportColumnType::Text;
}

// Texts as the database orders them (case and trailing blanks aside), as the browser's list sorts
// them: a report sorted by 品名 or 备注 that put "abc" after "XYZ" read as two separate runs.
int ReportOrder(const adodb::Variant& a, const adodb::Variant& b) {
  if (a.Type() == adodb::VariantType::Text && b.Type() == adodb::VariantType::Text) {
    const int c = adodb::CompareValues(a.RawText(), b.RawText());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  return Compare(a, b);
}

}  // namespace

QvGrid::QvGrid(UserInterface& ui) : ui_(ui) {}

// --- loading ---------------------------------------------------------------------------------

void QvGrid::Reload() {
  Take(ReadRows());
  ui_.NoteReportLoaded(*this);
}

adodb::ResultSet QvGrid::ReadRows() const {
  if (dataFormat_ == 0) {
    // The rows come straight from the provider: a report of 100,000 lines is held once, not
    // once in a record set and again here.
    adodb::Connection connection;
    connection.Open(connectStr_);
    adodb::ResultSet result = connection.GetBackend().Query(dataSource_, dataSourceValues_);
    connection.Close();
    return result;
  }
  if (!recordset_ || recordset_->State() != adodb::adStateOpen) throw adodb::Error::Closed();
  adodb::ResultSet result;
  result.columns = recordset_->Columns();
  result.rows.SetWidth(result.columns.size());
  const long count = recordset_->RecordCount();
  for (long position = 0; position < count; ++position) {
    const adodb::Row row = recordset_->RowAt(recordset_->RowIndexAt(position));
    for (const adodb::Variant& value : row) result.rows.AppendValue(adodb::Variant(value));
  }
  return result;
}

void QvGrid::Take(adodb::ResultSet result) {
  const bool keepView = SameColumns(result.columns);
  const std::vector<std::string> current = keepView ? CurrentRowTexts() : std::vector<std::string>();
  std::vector<ReportColumn> columns;
  columns.reserve(result.columns.size());
  for (std::size_t c = 0; c < result.columns.size(); ++c) {
    ReportColumn column;
    column.name = result.columns[c].name;
    if (!ReportColumnTypeOf(result.columns[c].type, column.type)) column.type = TypeOfValues(result.rows, c);
    if (result.columns[c].type == adodb::adCurrency) column.places = kCentPlaces;
    if (keepView) column.visible = columns_[c].visible;
    columns.push_back(std::move(column));
  }
  columns_ = std::move(columns);
  rows_ = std::move(result.rows);
  if (!keepView) {
    ResetView();
    Row = 1;
  }
  RebuildShownRows(current);
  Changed();
}

bool QvGrid::SameColumns(const std::vector<adodb::ColumnInfo>& columns) const {
  if (columns.size() != columns_.size() || columns.empty()) return false;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    if (columns[c].name != columns_[c].name) return false;
  }
  return true;
}

void QvGrid::ResetView() {
  columnOrder_.resize(columns_.size());
  std::iota(columnOrder_.begin(), columnOrder_.end(), std::size_t{0});
  sortColumn_.reset();
  sortOrder_ = SortOrder::Ascending;
  filters_.clear();
}

void QvGrid::Command(int command) {
  if (command >= 1 && command <= 5) ui_.RunReportCommand(*this, command);
}

// --- rows shown --------------------------------------------------------------------------------

void QvGrid::RebuildShownRows() { RebuildShownRows(CurrentRowTexts()); }

// The clerk stays on the line he was on wherever a sort, a filter or a reload puts it (found by
// what its cells show), rather than being sent back to the first line of a long report; a line
// gone leaves him at the same height, and Changed keeps that within the rows.
void QvGrid::RebuildShownRows(const std::vector<std::string>& stayOn) {
  ArrangeShownRows();
  for (std::size_t shown = 0; shown < shown_.size() && !stayOn.empty(); ++shown) {
    const adodb::Row& row = rows_[shown_[shown]];
    if (std::equal(row.begin(), row.end(), stayOn.begin(), stayOn.end(),
                   [](const adodb::Variant& value, const std::string& text) { return CellText(value) == text; })) {
      Row = static_cast<long>(shown) + 1;
      return;
    }
  }
}

std::vector<std::string> QvGrid::CurrentRowTexts() const {
  std::vector<std::string> texts;
  if (Row < 1 || Row > static_cast<long>(shown_.size())) return texts;
  for (const adodb::Variant& value : rows_[shown_[static_cast<std::size_t>(Row - 1)]]) texts.push_back(CellText(value));
  return texts;
}

// The shown rows are always derived from the loaded ones in the query's order, so sorting by
// one column after another never depends on what was sorted before.
void QvGrid::ArrangeShownRows() {
  shown_.clear();
  shown_.reserve(rows_.size());
  for (std::size_t row = 0; row < rows_.size(); ++row) {
    if (PassesFilters(row)) shown_.push_back(row);
  }
  if (!sortColumn_) return;
  const std::size_t column = *sortColumn_;
  const bool descending = sortOrder_ == SortOrder::Descending;
  std::stable_sort(shown_.begin(), shown_.end(), [&](std::size_t a, std::size_t b) {
    const int order = ReportOrder(rows_[a][column], rows_[b][column]);
    return descending ? order > 0 : order < 0;
  });
}

bool QvGrid::PassesFilters(std::size_t row) const {
  for (const auto& [column, values] : filters_) {
    if (values.count(CellAt(row, column)) == 0) return false;
  }
  return true;
}

const adodb::Variant& QvGrid::Value(std::size_t shownRow, std::size_t column) const {
  if (shownRow >= shown_.size()) throw adodb::Error::SubscriptOutOfRange();
  CheckColumn(column);
  return rows_[shown_[shownRow]][column];
}

// An amount of 108 reads 108.00, as on the slip and in the spreadsheet; a figure stored with more
// places keeps them.
std::string QvGrid::CellAt(std::size_t row, std::size_t column) const {
  const adodb::Variant& value = rows_[row][column];
  const int places = columns_[column].places;
  const bool figure = value.Type() == adodb::VariantType::Double || value.Type() == adodb::VariantType::Currency;
  // A bill date another program stored with a time of day is the day the list and the slip show.
  return places >= 0 && figure ? NumberWithPlaces(value.RawDouble(), places) : CellText(value, CellDates::DayOnly);
}

void QvGrid::CheckColumn(std::size_t column) const {
  if (column >= columns_.size()) throw adodb::Error::SubscriptOutOfRange();
}

void QvGrid::Changed() {
  RefreshShownColumns();
  std::vector<int> decimals(static_cast<std::size_t>(Cols()), -1);
  for (long col = 0; col < Cols(); ++col) {
    const std::optional<std::size_t> column = ColumnAtGridCol(col);
    if (column) decimals[static_cast<std::size_t>(col)] = ShownPlaces(*column);
  }
  SetColDecimals(std::move(decimals));
  const long last = Rows() - 1;
  if (Row > last) Row = last;
  if (Row < 1 && last >= 1) Row = 1;
  if (Col >= Cols()) Col = 0;
  NotifyContents();
}

// --- sorting and filtering -------------------------------------------------------------------

void QvGrid::SortBy(std::size_t column, SortOrder order) {
  CheckColumn(column);
  sortColumn_ = column;
  sortOrder_ = order;
  RebuildShownRows();
  Changed();
}

void QvGrid::ClearSort() {
  sortColumn_.reset();
  RebuildShownRows();
  Changed();
}

void QvGrid::SetFilter(std::size_t column, const std::vector<std::string>& values) {
  CheckColumn(column);
  filters_[column] = FilterValues(values.begin(), values.end());
  RebuildShownRows();
  Changed();
}

void QvGrid::ClearFilter(std::size_t column) {
  filters_.erase(column);
  RebuildShownRows();
  Changed();
}

void QvGrid::ClearFilters() {
  filters_.clear();
  RebuildShownRows();
  Changed();
}

// In the column's own order, as a sort would show them: quantities 5, 7, 12 rather than 12, 5, 7.
std::vector<std::string> QvGrid::DistinctValues(std::size_t column) const {
  CheckColumn(column);
  std::vector<std::size_t> order(rows_.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return ReportOrder(rows_[a][column], rows_[b][column]) < 0; });
  FilterValues seen;
  std::vector<std::string> values;
  for (std::size_t row : order) {
    std::string text = CellAt(row, column);
    if (seen.insert(text).second) values.push_back(std::move(text));
  }
  return values;
}

// --- columns ----------------------------------------------------------------------------------

void QvGrid::RefreshShownColumns() {
  shownColumns_.clear();
  for (std::size_t column : columnOrder_) {
    if (columns_[column].visible) shownColumns_.push_back(column);
  }
}

int QvGrid::ShownPlaces(std::size_t column) const {
  CheckColumn(column);
  const ReportColumn& shown = columns_[column];
  const int named = shown.type == ReportColumnType::Number ? CaptionDecimals(shown.name, numberPlaces_) : -1;
  return named >= 0 ? named : shown.places;
}

std::optional<std::size_t> QvGrid::ColumnAtGridCol(long col) const {
  if (isShowOrder_) {
    if (col == 0) return std::nullopt;
    --col;
  }
  if (col < 0 || col >= static_cast<long>(shownColumns_.size())) throw adodb::Error::SubscriptOutOfRange();
  return shownColumns_[static_cast<std::size_t>(col)];
}

std::optional<std::size_t> QvGrid::CurrentColumn() const {
  if (Col < 0 || Col >= Cols()) return std::nullopt;
  return ColumnAtGridCol(Col);
}

void QvGrid::SetColumnVisible(std::size_t column, bool visible) {
  CheckColumn(column);
  columns_[column].visible = visible;
  Changed();
}

void QvGrid::SetColumnOrder(const std::vector<std::size_t>& order) {
  std::vector<std::size_t> sorted = order;
  std::sort(sorted.begin(), sorted.end());
  std::vector<std::size_t> every(columns_.size());
  std::iota(every.begin(), every.end(), std::size_t{0});
  if (sorted != every) throw adodb::Error::SubscriptOutOfRange();
  columnOrder_ = order;
  Changed();
}

void QvGrid::MoveColumn(std::size_t column, int steps) {
  CheckColumn(column);
  const auto from = std::find(columnOrder_.begin(), columnOrder_.end(), column) - columnOrder_.begin();
  const auto to = std::clamp<std::ptrdiff_t>(from + steps, 0, static_cast<std::ptrdiff_t>(columnOrder_.size()) - 1);
  columnOrder_.erase(columnOrder_.begin() + from);
  columnOrder_.insert(columnOrder_.begin() + to, column);
  Changed();
}

// --- properties ---------------------------------------------------------------------------------

void QvGrid::SetProperties(const ReportProperties& properties) {
  properties_ = properties;
  properties_.fontSize =
      std::clamp(properties_.fontSize, ReportProperties::kMinFontSize, ReportProperties::kMaxFontSize);
}

const std::string& QvGrid::Title() const { return properties_.title.empty() ? reportName_ : properties_.title; }

// A report handed over already narrowed (the browser's find) is named so once.
std::string QvGrid::PrintedTitle() const {
  return filters_.empty() || Title().ends_with(kFilteredMark) ? Title() : Title() + kFilteredMark;
}

// --- GridModel ----------------------------------------------------------------------------------

long QvGrid::Cols() const { return static_cast<long>(shownColumns_.size()) + (isShowOrder_ ? 1 : 0); }

std::string QvGrid::TextMatrix(long row, long col) const {
  if (row < 0 || row >= Rows()) throw adodb::Error::SubscriptOutOfRange();
  const std::optional<std::size_t> column = ColumnAtGridCol(col);
  if (!column) return row == 0 ? kOrderColumnName : std::to_string(row);
  if (row == 0) return columns_[*column].name;
  return CellAt(shown_[static_cast<std::size_t>(row - 1)], *column);
}

void QvGrid::SetTextMatrix(long row, long col, const std::string& text) {
  (void)row;
  (void)col;
  (void)text;
  throw adodb::Error(adodb::errnum::kNotUpdatable, "报表数据不能修改", "QvGrid");
}

long QvGrid::ColWidth(long col) const {
  (void)col;
  return kMinimumColumnTwips;
}

GridModel::Alignment QvGrid::ColAlignment(long col) const {
  if (col < 0 || col >= Cols()) return Alignment::Left;
  const std::optional<std::size_t> column = ColumnAtGridCol(col);
  if (!column) return Alignment::Right;
  return columns_[*column].type == ReportColumnType::Number ? Alignment::Right : Alignment::Left;
}

}  // namespace storeadjust
