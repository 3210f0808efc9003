#pragma once
// Why a file the clerk chose (a PDF printed to, a workbook exported) could not be written there,
// in his words: what he can mend is the folder, its rights or the disk, not a library's code.
#include <string>

namespace storeadjust {

// The reason found at `path`: the folder missing or not a folder, a folder in the file's place,
// no right to write the file or into its folder, a read-only disk. Empty when nothing there
// explains the failure (a disk that filled up meanwhile, say).
std::string WhyFileNotWritten(const std::string& path);

// Why the file at `path` must not be written even though it could be: this program has it open,
// the database a session works in (or its WAL, its shared memory). Written over, everyone's
// bills would be gone; merely opened and closed to write, it loses the locks SQLite holds on it.
// Empty for any other file. Asked before the file is opened.
std::string WhyFileKeptFromWriting(const std::string& path);

}  // namespace storeadjust
