#pragma once
// The two ways the desktop prints slips: through the system print dialog (on Linux it offers
// printing to a PDF file), or in the preview window, which can print from there. Both lay the
// pages out with PaintBillSlips on A4 portrait. Failures of the printer throw adodb::Error.
#include <QString>
#include <functional>
#include <vector>

#include "host/BillSlip.h"

class QWidget;

namespace storeadjust::qt {

// Reads the slips from the database. A dialog may stay open while another clerk changes or deletes
// the bill: the slips are read again when they are painted, so the paper shows the bill as stored
// when it prints, not as it was when the dialog opened.
using SlipReader = std::function<std::vector<BillSlip>()>;

// Both give the PDF file the slips were written to, and nothing when they went to paper or the
// user cancelled.

// Shows the print dialog; prints the slips when the user confirms it.
QString PrintSlipsWithDialog(const SlipReader& read, QWidget* parent);

// Shows the slips in the preview window until the user closes it (printing from there or not).
// A bill that cannot be read is refused before the window opens.
QString PreviewSlips(const SlipReader& read, QWidget* parent);

}  // namespace storeadjust::qt
