#pragma once
// Column widths of a table view over a screen's grid. The grid gives each column a width in
// twips (0 hides it); the view shows it at least that wide, widened to fit its header and the
// rows fetched so far, up to a readable maximum, so a serial or a name is not cut off and one
// long remark does not push every other column off the screen. Rows not yet fetched are not
// read: a long list stays lazy.
class QTableView;

namespace storeadjust {
class GridModel;
}

namespace storeadjust::qt {

inline constexpr int kMaxFittedColumnWidth = 320;  // pixels

// Pixels for a width in twips on the view's screen.
int TwipsToPixels(const QTableView& view, long twips);
void FitGridColumns(QTableView& view, const GridModel& grid);

}  // namespace storeadjust::qt
