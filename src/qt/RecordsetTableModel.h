#pragma once
// A read-only table model over a record set, for the selection dialog: headed by the column
// aliases, rows in the set's order. Rows reach the view in chunks (ChunkedTableModel). A filter narrows the rows to
// those holding the filter text in any column (case-blind for Latin letters); it keeps a list of
// matching positions only, never items. The set must outlive the model and stay unchanged while
// the model shows it.
#include <string>
#include <vector>

#include "adodb/RowTable.h"
#include "host/GridNumberPlaces.h"

#include "qt/ChunkedTableModel.h"

namespace adodb {
class Recordset;
}

namespace storeadjust::qt {

class RecordsetTableModel : public ChunkedTableModel {
  Q_OBJECT

 public:
  explicit RecordsetTableModel(const adodb::Recordset& rows, QObject* parent = nullptr);

  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // Shows only the rows that contain text; empty text shows every row.
  void SetFilter(const QString& text);
  // Rows that pass the filter, fetched or not.
  long MatchingRows() const;
  // The 1-based position in the set's order of a model row (what the dialog returns).
  long SetPosition(int modelRow) const;
  // The column aliases joined: names the column set for remembered layouts.
  QString ColumnSetKey() const;
  // Numbers of the columns whose captions name a quantity, amount or price show with these places.
  void SetNumberPlaces(NumberPlaces places);

 protected:
  long AvailableRows() const override { return MatchingRows(); }
  // The set's row a (valid) model row shows, and the set itself.
  adodb::Row RowOf(int modelRow) const;
  const adodb::Recordset& Rows() const { return rows_; }

 private:
  std::size_t PositionOfRow(int modelRow) const;
  std::string ShownText(std::size_t column, const adodb::Variant& value) const;
  const std::string& SearchText(std::size_t position) const;
  std::vector<std::size_t> RowsContaining(const std::string& needle, const std::vector<std::size_t>* among) const;

  const adodb::Recordset& rows_;
  std::vector<int> decimals_;             // by column; -1: as stored
  long total_ = 0;
  bool filtered_ = false;
  std::string filter_;                    // lower-cased UTF-8
  std::vector<std::size_t> matches_;      // positions in the set's order, when filtered
  mutable std::vector<std::string> searchText_;  // per position, lower-cased, built on first filter
};

}  // namespace storeadjust::qt
