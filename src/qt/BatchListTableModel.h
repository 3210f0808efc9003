#pragma once
// The batch dialog's rows with each batch's standing to the bill date: a batch already expired is
// shown in red with "已过期 N 天", one that expires within the near-expiry days in orange with
// "N 天后到期", in a column 效期提示 after the list's own columns. The row the dialog returns is
// still a row of the set: the added column is the view's alone. A list without an expiry column
// is shown as it is.
#include <optional>

#include "adodb/Date.h"
#include "lines/BatchExpiry.h"
#include "qt/RecordsetTableModel.h"

namespace storeadjust::qt {

class BatchListTableModel : public RecordsetTableModel {
  Q_OBJECT

 public:
  BatchListTableModel(const adodb::Recordset& rows, adodb::Date billDate, QObject* parent = nullptr);

  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // The standing of the batch a model row shows.
  BatchExpiry ExpiryOfRow(int modelRow) const;

 private:
  bool IsNoteColumn(int column) const;

  adodb::Date billDate_;
  std::optional<std::size_t> expiryColumn_;
};

}  // namespace storeadjust::qt
