#pragma once
// What the desktop tests share: one QApplication for the whole program (offscreen unless the
// caller chose a platform), a way to act on the modal window a call under test opens, typed
// Chinese, header clicks, and a printout's text.
//
// It also brings what nearly every desktop test uses: GoogleTest, QTest and the common widgets.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <functional>
#include <memory>
#include <string>

#include "support/TempDatabase.h"

namespace qttest {

// Types text as key presses carrying the characters (QTest's key clicks know ASCII only; an
// input method hands Chinese over the same way).
void TypeText(QWidget& widget, const QString& text);

// Runs `act` on the modal window once the event loop of the call under test has shown it.
void WhenModalShows(std::function<void(QWidget& modal)> act);

// The next modal window must be a message box: note its text in `shown` and dismiss it.
void DismissNextBox(QString& shown);

// A left click on the header of `section`, as the mouse gives it.
void ClickHeader(QTableView& table, int section);

// The text pdftotext reads from the PDF file `path`, given its options before the file.
QString PdfText(const QString& path, const QStringList& options);

}  // namespace qttest
