#pragma once
// Qt's print preview takes its commands from a toolbar whose buttons never take the keyboard and
// have no keys: a clerk who opened 预览 at the keyboard could look, and close it with Esc, but
// not print what he saw. Here Tab reaches the buttons, Space or Enter presses the one that has
// the keyboard, and Ctrl+P prints, as in the print dialog's own programs. PgDn, PgUp, Home and End
// turn its pages.
class QPrintPreviewDialog;

namespace storeadjust::qt {

void GivePreviewCommandsToKeyboard(QPrintPreviewDialog& preview);

}  // namespace storeadjust::qt
