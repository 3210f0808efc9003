#include "qt/PrintedFile.h"

#include <QPrinter>

#include "adodb/Error.h"
#include "host/FileNotWritten.h"

namespace storeadjust::qt {

QString PrintedFile(const QPrinter& printer) {
  return printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
}

std::string PrintFailureText(const QPrinter& printer) {
  const QString file = PrintedFile(printer);
  if (file.isEmpty()) return "打印失败：打印机或输出文件无法打开";
  const std::string why = WhyFileNotWritten(file.toStdString());
  return "打印失败：文件 " + file.toStdString() + " 无法写入" + (why.empty() ? std::string() : "：" + why);
}

void RefuseFileInUse(const QPrinter& printer) {
  const QString file = PrintedFile(printer);
  if (file.isEmpty()) return;
  if (const std::string why = WhyFileKeptFromWriting(file.toStdString()); !why.empty()) {
    throw adodb::Error(adodb::errnum::kProviderError, "打印失败：文件 " + file.toStdString() + " 无法写入：" + why, "PrintComponent");
  }
}

std::string SavedToText(const QString& path) { return "已保存到 " + path.toStdString(); }

}  // namespace storeadjust::qt
