#pragma once
// The header's sort at the keyboard, for a clerk who walks a list with the arrow keys: Ctrl+Up
// sorts by the column he stands on ascending, Ctrl+Down descending, the same in every list that
// sorts by its header. The grid selects whole lines, which hides the cell he stands on: a frame
// shows it, so he sees which column the keys sort by.
#include <QString>
#include <functional>

class QTableView;

namespace storeadjust::qt {

// What the header says of its sorting, in every list that sorts by these keys.
QString SortKeysToolTip();
// The same keys named where a clerk at the keyboard reads them, the header's tool tip being the
// mouse's.
QString SortKeysHint();

// Ctrl+Up and Ctrl+Down in `grid` call `sort` with the current column and whether ascending; the
// grid's current cell is framed. Both live as long as the grid.
void SortByKeys(QTableView& grid, std::function<void(int column, bool ascending)> sort);

}  // namespace storeadjust::qt
