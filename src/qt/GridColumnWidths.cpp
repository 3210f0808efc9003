#include "qt/GridColumnWidths.h"

#include <QHeaderView>
#include <QTableView>
#include <algorithm>

#include "host/GridModel.h"

namespace storeadjust::qt {

int TwipsToPixels(const QTableView& view, long twips) {
  constexpr long kTwipsPerInch = 1440;
  return static_cast<int>(twips * view.logicalDpiX() / kTwipsPerInch);
}

void FitGridColumns(QTableView& view, const GridModel& grid) {
  const int columns = std::min(static_cast<int>(grid.Cols()), view.model()->columnCount());
  for (int col = 0; col < columns; ++col) {
    const long twips = grid.ColWidth(col);
    view.setColumnHidden(col, twips == 0);
    if (twips == 0) continue;
    // QTableView keeps its override protected; the base's public one dispatches to it.
    const int cells = static_cast<const QAbstractItemView&>(view).sizeHintForColumn(col);
    const int content = std::max(cells, view.horizontalHeader()->sectionSizeHint(col));
    view.setColumnWidth(col, std::max(TwipsToPixels(view, twips), std::min(content, kMaxFittedColumnWidth)));
  }
}

}  // namespace storeadjust::qt
