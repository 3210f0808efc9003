#pragma once
// SQLite's own words for a database file it could not open or use mean little to a clerk, and
// say nothing of what to do: the common ones are said here in Chinese, for every program alike.
#include <optional>
#include <string>

namespace storeadjust::db {

// What went wrong with the database file at path and what to do about it, when text holds one of
// SQLite's common opening failures; nothing for any other text.
std::optional<std::string> OpenFailureText(const std::string& text, const std::string& path);

// "数据库文件 PATH 不存在" for a database file that is not there; for a link whose file is gone,
// the link and where it leads, since `ls` shows such a link as if the file were there. Nothing
// when the path is there or cannot be looked at (a link that loops: opening it refuses it).
std::optional<std::string> MissingFileText(const std::string& path);

// The same for the ODBC driver manager's refusals of connection string connStr: a data source
// never set up, a driver neither registered nor a file, a file that is not a driver; the SQLite
// ODBC driver refusing its file; a string that names neither ODBC nor the embedded file.
std::optional<std::string> OdbcOpenFailureText(const std::string& text, const std::string& connStr);

// Why the SQLite ODBC driver is not to be handed connection string connStr: the file its
// Database= names does not exist (the driver would make it empty). Nothing for any other string.
std::optional<std::string> MissingOdbcFileText(const std::string& connStr);

}  // namespace storeadjust::db
