#pragma once
// Qt's file lists (the print dialog's file name completer, the file dialogs) tell each file's
// kind by reading its first bytes. Opening and closing the clerk's database file that way drops
// every lock SQLite holds on it in this process (POSIX locks belong to the process, and any
// close() of the file releases them all). Another clerk's program may then checkpoint and delete
// the WAL this session still writes into: what this clerk saves afterwards is lost to everyone.
// Installed once on the application, the guard has every file list shown tell kinds by name.
// A desktop's native file dialog (GTK's on GNOME) is out of its reach and opens every file it
// lists, the database and its -shm included; Qt's print dialog ("...") and print preview (export
// to PDF) ask for theirs without a say of ours, so the application uses Qt's own everywhere.
// Every print dialog, the preview's own too, refuses a PDF file this program has open.

namespace storeadjust::qt {

void KeepFileListsFromOpeningFiles();

}  // namespace storeadjust::qt
