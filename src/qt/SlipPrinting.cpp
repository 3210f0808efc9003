#include "qt/SlipPrinting.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <optional>

#include "adodb/Error.h"
#include "qt/BillSlipPainter.h"
#include "qt/PreviewKeys.h"
#include "qt/PrintedFile.h"

namespace storeadjust::qt {

namespace {

void PrepareSlipPrinter(QPrinter& printer) {
  printer.setDocName(QStringLiteral("仓库调拨单"));
  UseSlipPageLayout(printer);
}

}  // namespace

QString PrintSlipsWithDialog(const SlipReader& read, QWidget* parent) {
  read();  // a bill gone is told before the clerk chooses a printer
  QPrinter printer(QPrinter::HighResolution);
  PrepareSlipPrinter(printer);
  QPrintDialog dialog(&printer, parent);
  dialog.setWindowTitle(QStringLiteral("打印仓库调拨单"));
  if (dialog.exec() != QDialog::Accepted) return {};
  PaintBillSlips(printer, read());
  return PrintedFile(printer);
}

// The preview paints from inside Qt's signal, where an exception must not pass: the first
// failure is kept and thrown once the window has closed. The window closes accepted when it has
// printed.
QString PreviewSlips(const SlipReader& read, QWidget* parent) {
  read();
  QPrinter printer(QPrinter::HighResolution);
  PrepareSlipPrinter(printer);
  QPrintPreviewDialog dialog(&printer, parent);
  dialog.setWindowTitle(QStringLiteral("仓库调拨单预览"));
  GivePreviewCommandsToKeyboard(dialog);
  std::optional<adodb::Error> failure;
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&read, &failure](QPrinter* target) {
    try {
      PaintBillSlips(*target, read());
    } catch (const adodb::Error& error) {
      if (!failure) failure = error;
    }
  });
  const int printed = dialog.exec();
  if (failure) throw *failure;
  return printed == QDialog::Accepted ? PrintedFile(printer) : QString();
}

}  // namespace storeadjust::qt
