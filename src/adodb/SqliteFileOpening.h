#pragma once
// How the embedded backend opens its database file: read-write; read-only when the user may
// only read the file; and on read-only media or in a folder the user may not write (where SQLite
// cannot make the shared-memory index a database in WAL mode needs, so even reading failed with
// "unable to open database file" or "attempt to write a readonly database") as an immutable
// file, read without locks. A WAL file left with changes on such media would be
// ignored by an immutable read, so that database is refused rather than shown without them.
#include <string>

struct sqlite3;

namespace adodb {

// The open connection; throws adodb::Error with SQLite's words when the file cannot be opened or
// read. A missing file is an error, never silently created. `readOnly`: opened for reading only,
// whatever the user may do with the file, so that not even its journal mode is changed.
sqlite3* OpenDatabaseFile(const std::string& path, bool readOnly = false);

// The URI of the file opened immutable ("file:PATH?immutable=1", the path's ?, # and % escaped).
std::string ImmutableFileUri(const std::string& path);

}  // namespace adodb
