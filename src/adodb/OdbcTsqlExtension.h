#pragma once
// The SQLite extension that gives a SQLite ODBC data source the T-SQL functions and the collation
// translated statements call. The SQLite ODBC driver loads it itself (LoadExt=), on its own
// sqlite3 handle, so the session's connection string must name it.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace adodb::odbc {

// Where the extension is: STOREADJUST_TSQL_EXT when set, else beside the module or the program
// (also in the installed layout), else where this build made it. Throws adodb::Error when it is
// nowhere.
std::string TsqlExtensionPath();

// The refusal of a file at extensionPath that the driver did not load as the extension.
std::string NotTheTsqlExtensionText(const std::string& extensionPath);

// Throws adodb::Error, in the words above, when the file at extensionPath will not load as the
// extension: handed one, the driver writes its own English line to the console first.
void RequireLoadableTsqlExtension(const std::string& extensionPath);

// The connection string with the extension to load; throws adodb::Error for a path the driver
// cannot take.
std::string WithTsqlExtension(const std::string& connectionString, const std::string& extensionPath);

// The name under which the driver can load the extension. The driver splits LoadExt on ',' and
// the connection string on ';' and braces, in a buffer of 512 bytes: a program built or installed
// in a folder whose name holds one of those (a clone in "项目,2024", say) could not use a SQLite
// ODBC source. Such an extension is handed over as this process's own open descriptor of it
// (/proc/self/fd/N; the driver loads it into this process), held while the session connects.
class LoadableTsqlExtension {
 public:
  explicit LoadableTsqlExtension(const std::string& extensionPath);
  ~LoadableTsqlExtension();
  LoadableTsqlExtension(const LoadableTsqlExtension&) = delete;
  LoadableTsqlExtension& operator=(const LoadableTsqlExtension&) = delete;
  const std::string& Name() const { return name_; }

 private:
  int descriptor_ = -1;
  std::string name_;
};

// SQLite's ODBC driver counts every ? of a statement as a value of its own and refuses a run with
// fewer bound ("unbound parameters in query"), while the translator numbers its marks (?1) and
// repeats one where a rewrite repeats an expression (an update's join is read once for the new
// value and once for the rows). Each mark of the translation becomes a plain ?; `values` gives,
// mark by mark, the index of the statement's value it takes.
struct PlainMarks {
  std::string text;
  std::vector<std::size_t> values;
};
PlainMarks WithPlainMarks(std::string_view translated);

// A statement that succeeds only when the extension was loaded.
extern const char* const kExtensionProbe;

}  // namespace adodb::odbc
