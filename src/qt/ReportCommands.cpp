#include "qt/ReportCommands.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <exception>
#include <optional>

#include "adodb/Error.h"

#include "browse/ReportXlsxExport.h"
#include "host/BusyPointer.h"
#include "host/ErrorText.h"
#include "host/QvGrid.h"
#include "qt/PreviewKeys.h"
#include "qt/ReportColumnsDialog.h"
#include "qt/PrintedFile.h"
#include "qt/ReportFilterDialog.h"
#include "qt/ReportPrintout.h"
#include "qt/ReportPropertiesDialog.h"

namespace storeadjust::qt {

namespace {

// The preview paints from inside Qt's signal, where an exception must not pass: the first failure
// is kept and shown once the window has closed. Printed from there to a PDF file, the clerk is
// told where it went.
void PreviewReport(UserInterface& ui, QvGrid& grid, QWidget* parent) {
  QPrinter printer(QPrinter::HighResolution);
  SetUpReportPrinter(grid, printer);
  QPrintPreviewDialog preview(&printer, parent);
  preview.setWindowTitle(QStringLiteral("打印预览 - ") + QString::fromStdString(grid.Title()));
  GivePreviewCommandsToKeyboard(preview);
  std::optional<adodb::Error> failure;
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&grid, &failure](QPrinter* target) {
    try {
      PaintReport(grid, *target);
    } catch (const adodb::Error& error) {
      if (!failure) failure = error;
    }
  });
  const int printed = preview.exec();
  if (failure) throw *failure;
  const QString file = printed == QDialog::Accepted ? PrintedFile(printer) : QString();
  if (!file.isEmpty()) ui.MsgBox(SavedToText(file), mb::kInformation, "系统提示");
}

// The folder the clerk last exported into, for as long as the launcher runs.
QString& LastExportFolder() {
  static QString folder;
  return folder;
}

// Where the save dialog opens: the folder of the last export, else the documents folder, else home.
// Never the launcher's working folder, which is wherever a menu entry or a shell started it.
QString ExportStartFolder() {
  for (const QString& folder : {LastExportFolder(), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)}) {
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) return folder;
  }
  return QDir::homePath();
}

void ExportReport(UserInterface& ui, QvGrid& grid, QWidget* parent) {
  QString path = QFileDialog::getSaveFileName(
      parent, QStringLiteral("数据导出至Excel"),
      QDir(ExportStartFolder()).filePath(QString::fromStdString(grid.Title()) + QStringLiteral(".xlsx")),
      QStringLiteral("Excel 工作簿 (*.xlsx)"));
  if (path.isEmpty()) return;
  LastExportFolder() = QFileInfo(path).absolutePath();
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
  {
    BusyPointer busy(ui);
    ExportReportToXlsx(grid, path.toStdString());
  }
  ui.MsgBox(SavedToText(path), mb::kInformation, "系统提示");
}

}  // namespace

void RunReportCommandOnDesktop(UserInterface& ui, QvGrid& grid, int command, QWidget* parent) {
  try {
    switch (command) {
      case 1:
        PreviewReport(ui, grid, parent);
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
