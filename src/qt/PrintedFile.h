#pragma once
// A print that goes to a file (the print dialog's PDF printer, the preview's export to PDF) leaves
// the clerk with a file somewhere: once written he is told where it is, and a file that could not
// be written is named with the reason.
#include <QString>
#include <string>

class QPrinter;

namespace storeadjust::qt {

// The PDF file the printer writes; empty when it prints on paper.
QString PrintedFile(const QPrinter& printer);

// Why painting on the printer could not start: its file and the reason, or the printer itself.
std::string PrintFailureText(const QPrinter& printer);

// Throws adodb::Error before a PDF file this program has open (the database) is written over.
void RefuseFileInUse(const QPrinter& printer);

// What the clerk is told once the file is written.
std::string SavedToText(const QString& path);

}  // namespace storeadjust::qt
