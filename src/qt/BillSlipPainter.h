#pragma once
// The printed transfer slip (仓库调拨单): one bill per page, a long bill going on over further
// pages with the column headers repeated. Each page shows the title, the serial and date, the
// out- and in-warehouse with their names and the remark; the lines (货号 品名 规格 单位 批号 效期
// 数量 单价 金额 零售总额); the page's totals, and on the bill's last page the bill's totals; the
// maker and auditor, the signature lines of 发货人, 承运人 and 收货人, and 第 n 页 共 m 页 counted
// within the bill. Chinese text is set in the machine's CJK family (CjkFontFamily). A figure, goods
// number, batch or date wider than its column is printed narrower, never cut short; a name, a
// pack size or the remark is narrowed to a point and then shortened with "…".
//
// The painting works on any paged device (a QPrinter of the print dialog or the preview, a PDF
// writer in tests and the bench), so what is previewed is what is printed.
#include <cstddef>
#include <vector>

#include "host/BillSlip.h"

class QPagedPaintDevice;

namespace storeadjust::qt {

// A4 portrait with the slip's margins. Call before the device is painted on (and, for a print
// dialog, before it is shown, so the dialog offers that page).
void UseSlipPageLayout(QPagedPaintDevice& device);

// How many line rows one page of the device holds (at least one).
std::size_t SlipLinesPerPage(QPagedPaintDevice& device);

// Paints the slips in order and returns the pages painted. Throws adodb::Error when the device
// cannot be painted on (a printer that cannot start, a PDF file that cannot be written).
int PaintBillSlips(QPagedPaintDevice& device, const std::vector<BillSlip>& slips);

}  // namespace storeadjust::qt
