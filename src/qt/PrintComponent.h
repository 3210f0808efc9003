#pragma once
// The desktop print component: reads the bills a print request names, through the connection it
// is handed and from the header and line tables it is told, and prints them as transfer slips.
// The preview command's request opens the preview window; any other opens the print dialog.
// A bill it cannot read, or a printer that fails, throws adodb::Error to the command that asked;
// slips printed to a PDF file give the file.
#include <QString>

#include "host/UserInterface.h"

class QWidget;

namespace storeadjust::qt {

class PrintComponent {
 public:
  explicit PrintComponent(QWidget* parent) : parent_(parent) {}
  QString Print(const PrintRequest& request);

 private:
  QWidget* parent_;
};

}  // namespace storeadjust::qt
