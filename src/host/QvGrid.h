#pragma once
// The report grid: runs a report's query (or takes a record set), holds its columns and rows,
// and lets the user sort, filter and arrange them and set how the report prints. The report
// window FrmReport hands it its parameters, reloads it and forwards its toolbar commands 1..5
// (print preview, export to a spreadsheet, report properties, filter, column definitions) to the
// injected UserInterface, which shows the dialogs and calls back the operations below.
//
// As a GridModel it shows the shown columns in their order and the shown rows (filtered, then
// sorted): row 0 holds the column names; with the order flag a first column "序号" numbers the
// rows. Cells read as CellText shows values, money columns with cents at least and dates as the
// day, as the browser's list and the slip show them. The grid is read-only: writing a cell is
// refused.
//
// Columns are named by their index in the query's select list ("column" below), whatever their
// place on the screen. Every change of rows, order or columns raises OnContentsChanged.
// Reload throws adodb::Error when the query or the record set cannot be read; the rows already
// shown stay.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "adodb/BoundValues.h"
#include "adodb/Recordset.h"
#include "adodb/ResultSet.h"
#include "adodb/TextCompare.h"
#include "host/GridModel.h"
#include "host/GridNumberPlaces.h"
#include "host/ReportColumn.h"
#include "host/ReportProperties.h"
#include "host/UserInterface.h"

namespace storeadjust {

class QvGrid : public GridModel {
 public:
  enum class SortOrder { Ascending, Descending };
  static constexpr const char* kOrderColumnName = "序号";

  explicit QvGrid(UserInterface& ui);
  QvGrid(const QvGrid&) = delete;
  QvGrid& operator=(const QvGrid&) = delete;

  // --- parameters, handed over before Reload ------------------------------------------------
  void SetDataFormat(std::int32_t dataFormat) { dataFormat_ = dataFormat; }
  void SetConnectStr(const std::string& connectStr) { connectStr_ = connectStr; }
  void SetRecoreSet(std::shared_ptr<adodb::Recordset> recordset) { recordset_ = std::move(recordset); }
  // The query, with the values of its ? marks in order.
  void SetDataSource(const std::string& dataSource, adodb::BoundValues values = {}) {
    dataSource_ = dataSource;
    dataSourceValues_ = std::move(values);
  }
  void SetIsShowOrder(bool isShowOrder) { isShowOrder_ = isShowOrder; }
  void SetReportCode(const std::string& reportCode) { reportCode_ = reportCode; }
  void SetReportName(const std::string& reportName) { reportName_ = reportName; }
  void SetStartDate(const std::string& startDate) { startDate_ = startDate; }
  void SetEndDate(const std::string& endDate) { endDate_ = endDate; }
  void SetUserDefStr0(const std::string& text) { userDefStr0_ = text; }
  void SetUserDefStr1(const std::string& text) { userDefStr1_ = text; }
  // The site's places for quantities and prices, which views pad those columns to (ColDecimals),
  // as the editor's grid does; the cells keep the figures as stored.
  void SetNumberPlaces(NumberPlaces places) { numberPlaces_ = places; }

  std::int32_t DataFormat() const { return dataFormat_; }
  const std::string& ConnectStr() const { return connectStr_; }
  const std::string& DataSource() const { return dataSource_; }
  bool IsShowOrder() const { return isShowOrder_; }
  const std::string& ReportCode() const { return reportCode_; }
  const std::string& ReportName() const { return reportName_; }
  const std::string& StartDate() const { return startDate_; }
  const std::string& EndDate() const { return endDate_; }
  const std::string& UserDefStr0() const { return userDefStr0_; }
  const std::string& UserDefStr1() const { return userDefStr1_; }

  // --- operations ---------------------------------------------------------------------------
  // Data format 0 runs the query on a connection of its own opened from ConnectStr (it never
  // sees a transaction of the caller's); any other format copies the record set's rows in its
  // current order without moving it. Sorting, filters and columns stay when the new rows have
  // the same columns. Tells the UserInterface (NoteReportLoaded) once the rows are in.
  void Reload();
  // Commands 1..5 go to the UserInterface; other numbers do nothing.
  void Command(int command);

  // --- what was loaded ----------------------------------------------------------------------
  const std::vector<ReportColumn>& Columns() const { return columns_; }
  std::size_t LoadedRowCount() const { return rows_.size(); }
  std::size_t ShownRowCount() const { return shown_.size(); }
  // A shown row's value (0-based among the shown rows) of a column.
  const adodb::Variant& Value(std::size_t shownRow, std::size_t column) const;
  // The shown columns, in screen order.
  const std::vector<std::size_t>& ShownColumns() const { return shownColumns_; }
  // Every column in screen order, hidden ones included.
  const std::vector<std::size_t>& ColumnOrder() const { return columnOrder_; }
  // The places a column's figures show at least: the site's quantity or price places where the
  // column's name calls it one, cents for an amount (GridNumberPlaces.h) or any other money
  // column, -1 for figures as stored.
  int ShownPlaces(std::size_t column) const;
  // The column a grid column shows; nothing for the order column.
  std::optional<std::size_t> ColumnAtGridCol(long col) const;
  // The column the clerk stands on (Col); nothing on the order column.
  std::optional<std::size_t> CurrentColumn() const;

  // --- sorting (stable: equal values keep the query's order) ---------------------------------
  void SortBy(std::size_t column, SortOrder order);
  void ClearSort();
  std::optional<std::size_t> SortColumn() const { return sortColumn_; }
  SortOrder CurrentSortOrder() const { return sortOrder_; }

  // --- filtering: a row is shown when, in every filtered column, its cell text is one of the
  // values chosen for that column, compared as the database compares text: '克 ' (a trailing
  // blank another program stored) and 'BOX' are the values '克' and 'box' ----------------------
  struct Collated {
    bool operator()(const std::string& a, const std::string& b) const { return adodb::CompareValues(a, b) < 0; }
  };
  using FilterValues = std::set<std::string, Collated>;
  void SetFilter(std::size_t column, const std::vector<std::string>& values);
  void ClearFilter(std::size_t column);
  void ClearFilters();
  const std::map<std::size_t, FilterValues>& Filters() const { return filters_; }
  // The distinct cell texts of a column over the loaded rows (one for texts the database holds
  // equal), in the order an ascending sort shows them.
  std::vector<std::string> DistinctValues(std::size_t column) const;

  // --- columns ------------------------------------------------------------------------------
  void SetColumnVisible(std::size_t column, bool visible);
  // order: every column exactly once; anything else is refused (adodb::Error).
  void SetColumnOrder(const std::vector<std::size_t>& order);
  // Moves a column `steps` places later (negative: earlier) in the screen order.
  void MoveColumn(std::size_t column, int steps);

  // --- how it prints ------------------------------------------------------------------------
  const ReportProperties& Properties() const { return properties_; }
  void SetProperties(const ReportProperties& properties);
  // The report's title: the properties' title, else the report's name.
  const std::string& Title() const;
  // The title printed and exported: Title(), marked while a filter leaves rows out, so that a
  // filtered report on paper or in a spreadsheet does not pass for the whole one.
  std::string PrintedTitle() const;
  static constexpr const char* kFilteredMark = "（已过滤）";

  // --- GridModel ----------------------------------------------------------------------------
  long Rows() const override { return static_cast<long>(shown_.size()) + 1; }
  long Cols() const override;
  std::string TextMatrix(long row, long col) const override;
  void SetTextMatrix(long row, long col, const std::string& text) override;
  long ColWidth(long col) const override;
  Alignment ColAlignment(long col) const override;

 private:
  void Take(adodb::ResultSet result);
  adodb::ResultSet ReadRows() const;
  bool SameColumns(const std::vector<adodb::ColumnInfo>& columns) const;
  void ResetView();
  void RefreshShownColumns();
  void RebuildShownRows();
  void RebuildShownRows(const std::vector<std::string>& stayOn);
  std::vector<std::string> CurrentRowTexts() const;
  void ArrangeShownRows();
  bool PassesFilters(std::size_t row) const;
  // The text a loaded row's value shows (and is filtered by) in a column.
  std::string CellAt(std::size_t row, std::size_t column) const;
  void CheckColumn(std::size_t column) const;
  void Changed();

  UserInterface& ui_;
  std::int32_t dataFormat_ = 0;
  std::string connectStr_;
  std::shared_ptr<adodb::Recordset> recordset_;
  std::string dataSource_;
  adodb::BoundValues dataSourceValues_;
  bool isShowOrder_ = false;
  std::string reportCode_, reportName_, startDate_, endDate_, userDefStr0_, userDefStr1_;

  std::vector<ReportColumn> columns_;
  adodb::RowTable rows_;
  std::vector<std::size_t> shown_;        // indices into rows_, in shown order
  std::vector<std::size_t> columnOrder_;  // every column, in screen order
  std::vector<std::size_t> shownColumns_;  // the visible ones among them: every cell read looks here
  std::optional<std::size_t> sortColumn_;
  SortOrder sortOrder_ = SortOrder::Ascending;
  std::map<std::size_t, FilterValues> filters_;
  ReportProperties properties_;
  NumberPlaces numberPlaces_;
};

}  // namespace storeadjust
