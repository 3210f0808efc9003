#pragma once
// Qt's file lists (the print dialog's file name completer, the file dialogs) tell each file's
// kind by reading its first bytes. Opening and closing the clerk's database file that way drops
// every lock SQLite holds on it in this process (POSIX locks belong to the process, and any
// close() of the file releases them all). Another clerk's program may then checkpoint and delete
// the WAL this session still writes into: what this clerk saves afterwards is lost to everyone.
// Installed once on the application, the guard has every file list shown tell kinds by name.
// A desktop's native file dialog is out of its reach, so the module's file dialogs are Qt's own.

namespace storeadjust::qt {

void KeepFileListsFromOpeningFiles();

}  // namespace storeadjust::qt
