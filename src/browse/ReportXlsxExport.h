#pragma once
// Writes what the report grid shows to an Excel workbook (.xlsx): the report's title and period on
// top, then the headers of the shown columns in their screen order, then the shown rows, filtered
// and sorted as on the screen, then a totals row: "合计" and, under every numeric column, the sum
// of the shown rows. Numbers are written as numbers: quantities, prices and amounts with the
// places the grid shows them with (QvGrid::ShownPlaces) and every further place they have, up to
// six; other numbers with two decimals and every further place ("#,##0.00####"). Dates are dates with a date
// format, everything else text; empty values leave the cell empty. With the order flag a first
// column numbers the rows. The page is set up with the report's orientation.
//
// Rows are written to disk as they go (the writer's constant-memory mode), so memory stays flat
// however many rows the report has. An existing file at `path` is replaced. Throws adodb::Error
// when the file cannot be written or the report has more rows than a worksheet holds; no
// partial file is left behind then.
#include <string>

namespace storeadjust {

class QvGrid;

void ExportReportToXlsx(const QvGrid& grid, const std::string& path);

}  // namespace storeadjust
