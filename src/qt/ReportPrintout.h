#pragma once
// Paints what the report grid shows onto a printer's pages (the print preview paints through it
// too): the report's title and period above the first page's rows, the shown columns' headers
// at the top of every page, the shown rows in their order, and "第 N 页 共 M 页" at the foot. The
// report's properties set the page's orientation and the size of the type. Each column is as
// wide as its widest text; a report wider than the page is drawn smaller to fit its width, so no
// value is ever cut or shortened. Chinese text needs a Chinese-capable family behind the
// application's font (UseCjkFontFallback).
class QPrinter;

namespace storeadjust {
class QvGrid;
}

namespace storeadjust::qt {

// Sets the printer's orientation from the report's properties (before a preview lays out pages).
void SetUpReportPrinter(const QvGrid& grid, QPrinter& printer);
// Throws adodb::Error when the printer cannot be painted on (a PDF file that cannot be written).
void PaintReport(const QvGrid& grid, QPrinter& printer);

}  // namespace storeadjust::qt
