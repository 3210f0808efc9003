#include "qt/BatchListTableModel.h"

#include <QBrush>
#include <QColor>

#include "adodb/Recordset.h"

namespace storeadjust::qt {

namespace {

QColor ColourOf(BatchExpiry::State state) {
  if (state == BatchExpiry::State::Expired) return QColor(0xC0, 0x00, 0x00);
  return QColor(0xC0, 0x60, 0x00);
}

}  // namespace

BatchListTableModel::BatchListTableModel(const adodb::Recordset& rows, adodb::Date billDate, QObject* parent)
    : RecordsetTableModel(rows, parent), billDate_(billDate), expiryColumn_(ExpiryColumn(rows)) {}

int BatchListTableModel::columnCount(const QModelIndex& parent) const {
  const int own = RecordsetTableModel::columnCount(parent);
  return expiryColumn_ && own > 0 ? own + 1 : own;
}

bool BatchListTableModel::IsNoteColumn(int column) const {
  return expiryColumn_ && column == RecordsetTableModel::columnCount();
}

BatchExpiry BatchListTableModel::ExpiryOfRow(int modelRow) const {
  if (!expiryColumn_ || modelRow < 0 || modelRow >= rowCount()) return {};
  return JudgeExpiry(RowOf(modelRow).at(*expiryColumn_), billDate_);
}

QVariant BatchListTableModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
  if (!expiryColumn_) return RecordsetTableModel::data(index, role);
  const BatchExpiry expiry = ExpiryOfRow(index.row());
  const bool marked = expiry.state == BatchExpiry::State::Expired || expiry.state == BatchExpiry::State::Near;
  if (role == Qt::ForegroundRole && marked) return QBrush(ColourOf(expiry.state));
  if (!IsNoteColumn(index.column())) return RecordsetTableModel::data(index, role);
  if (role == Qt::DisplayRole) return QString::fromStdString(ExpiryNote(expiry));
  return {};
}

QVariant BatchListTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && IsNoteColumn(section)) {
    return QStringLiteral("效期提示");
  }
  return RecordsetTableModel::headerData(section, orientation, role);
}

}  // namespace storeadjust::qt
