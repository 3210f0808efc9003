#pragma once
// The two ways the desktop prints slips: through the system print dialog (on Linux it offers
// printing to a PDF file), or in the preview window, which can print from there. Both lay the
// pages out with PaintBillSlips on A4 portrait. Failures of the printer throw adodb::Error.
#include <QString>
#include <vector>

#include "host/BillSlip.h"

class QWidget;

namespace storeadjust::qt {

// Both give the PDF file the slips were written to, and nothing when they went to paper or the
// user cancelled.

// Shows the print dialog; prints the slips when the user confirms it.
QString PrintSlipsWithDialog(const std::vector<BillSlip>& slips, QWidget* parent);

// Shows the slips in the preview window until the user closes it (printing from there or not).
QString PreviewSlips(const std::vector<BillSlip>& slips, QWidget* parent);

}  // namespace storeadjust::qt
