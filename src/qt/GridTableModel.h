#pragma once
// A read-only table model over a screen's grid (storeadjust::GridModel): the grid's header row 0
// becomes the horizontal header, grid row r is model row r-1. Cells align as the grid's columns
// say and show their numbers with the column's decimal places when the grid gives some. Rows
// reach the view in chunks (ChunkedTableModel). The model resets when the grid raises
// OnContentsChanged and emits CurrentRowChanged when the grid's current row moves, so a view
// can follow. It takes over the
// grid's two notifications while it lives and gives the previous ones back when destroyed; the
// grid must outlive it.
#include <functional>

#include "qt/ChunkedTableModel.h"

namespace storeadjust {
class GridModel;
}

namespace storeadjust::qt {

class GridTableModel : public ChunkedTableModel {
  Q_OBJECT

 public:
  explicit GridTableModel(GridModel& grid, QObject* parent = nullptr);
  ~GridTableModel() override;

  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  GridModel& Grid() const { return grid_; }
  // Model row of the grid's current row (-1 for the header row or none); fetches up to it.
  int CurrentModelRow();
  // Re-reads the grid (what OnContentsChanged does).
  void Reload();

 signals:
  void CurrentRowChanged(int modelRow);

 protected:
  long AvailableRows() const override;

 private:
  GridModel& grid_;
  int cols_ = 0;
  std::function<void()> previousContents_;
  std::function<void()> previousCurrent_;
};

}  // namespace storeadjust::qt
