#pragma once
// The report grid's five commands on the desktop: 1 a print preview (QPrintPreviewDialog painting
// through ReportPrintout), 2 a save dialog and the .xlsx export, 3 the properties dialog, 4 the
// filter dialog, 5 the columns dialog. A failure is shown through the UserInterface (16,
// "系统提示"); nothing is thrown.
class QWidget;

namespace storeadjust {
class QvGrid;
class UserInterface;
}  // namespace storeadjust

namespace storeadjust::qt {

void RunReportCommandOnDesktop(UserInterface& ui, QvGrid& grid, int command, QWidget* parent);

}  // namespace storeadjust::qt
