#include "qt/ReportCommands.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <exception>

#include "browse/ReportXlsxExport.h"
#include "host/BusyPointer.h"
#include "host/ErrorText.h"
#include "host/QvGrid.h"
#include "qt/ReportColumnsDialog.h"
#include "qt/ReportFilterDialog.h"
#include "qt/ReportPrintout.h"
#include "qt/ReportPropertiesDialog.h"

namespace storeadjust::qt {

namespace {

void PreviewReport(QvGrid& grid, QWidget* parent) {
  QPrinter printer(QPrinter::HighResolution);
  SetUpReportPrinter(grid, printer);
  QPrintPreviewDialog preview(&printer, parent);
  preview.setWindowTitle(QStringLiteral("打印预览 - ") + QString::fromStdString(grid.Title()));
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                   [&grid](QPrinter* target) { PaintReport(grid, *target); });
  preview.exec();
}

void ExportReport(UserInterface& ui, QvGrid& grid, QWidget* parent) {
  QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("数据导出至Excel"),
                                              QString::fromStdString(grid.Title()) + QStringLiteral(".xlsx"),
                                              QStringLiteral("Excel 工作簿 (*.xlsx)"));
  if (path.isEmpty()) return;
  // The dialog asked about replacing the name as typed; a workbook written under another name
  // (the typed one with .xlsx added) must not replace an existing file unasked.
  if (!path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive)) {
    path += QStringLiteral(".xlsx");
    if (QFileInfo::exists(path) &&
        ui.MsgBox("文件 " + path.toStdString() + " 已经存在，要替换它吗？",
                  mb::kYesNo | mb::kQuestion | mb::kDefaultButton2, "系统提示") != mb::kYes) {
      return;
    }
  }
  BusyPointer busy(ui);
  ExportReportToXlsx(grid, path.toStdString());
}

}  // namespace

void RunReportCommandOnDesktop(UserInterface& ui, QvGrid& grid, int command, QWidget* parent) {
  try {
    switch (command) {
      case 1:
        PreviewReport(grid, parent);
        break;
      case 2:
        ExportReport(ui, grid, parent);
        break;
      case 3: {
        ReportPropertiesDialog dialog(grid, parent);
        dialog.exec();
        break;
      }
      case 4: {
        ReportFilterDialog dialog(grid, parent);
        dialog.exec();
        break;
      }
      case 5: {
        ReportColumnsDialog dialog(grid, parent);
        dialog.exec();
        break;
      }
      default:
        break;
    }
  } catch (const std::exception& error) {
    ui.MsgBox(ErrorText(error), mb::kCritical, "系统提示");
  }
}

}  // namespace storeadjust::qt
