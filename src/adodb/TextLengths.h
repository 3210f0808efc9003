#pragma once
// SQLite keeps text of any length in a varchar(40) column; SQL Server refuses a longer value with
// "String or binary data would be truncated in table 't', column 'c'. Truncated value: '...'.",
// and so does the embedded database here: each connection puts a check on every insert and update
// of its tables' declared text columns, as temporary triggers of its own. The database file is not
// changed, so older databases and other programs reading them see no difference.
//
// Lengths are counted as the server counts them: nchar and nvarchar in UTF-16 units (two for a
// character past the Basic Multilingual Plane); char and varchar in bytes of the server's Chinese
// code page, one for ASCII and two for any other character (as DATALENGTH counts them), so that a
// database that leaves the embedded default for a server moves without a refusal. A value an
// update leaves as it was is not counted again, so a row stored too long before is still changed
// in its other columns. text, ntext, (max) and a declaration without a length are not bounded.
//
// Number columns (int, smallint, tinyint, bigint, bit, decimal, numeric, money, smallmoney) are
// held the same way: a value a statement stores is the one CAST to the column's type gives (2.7 in
// an int column is 2, 1.005 in a decimal(18,2) is 1.01), and one the type cannot hold fails the
// statement with CAST's error (HeldNumbers.h). Decimal columns the file holds by triggers of its own
// are left to them.
#include <string>
#include <vector>

#include "adodb/tsql/DeclaredColumnKinds.h"
#include "adodb/tsql/HeldNumbers.h"

struct sqlite3;
struct sqlite3_stmt;

namespace adodb {

// The temporary triggers "`name`_insert" and "_update" that refuse text past the length the
// columns of `table` (its name in the refusal) declare, on `target` as SQL names it ("#t"): for a
// temp table or table variable a batch makes, whose triggers go with it. Empty when no column is
// of a bounded text type; else SQL text, each trigger ending in ';'.
std::string TextLengthTriggers(const std::string& name, const std::string& target, const std::string& table,
                               const std::vector<tsql::HeldColumn>& columns);

// Registers tsql_text_fits, which the triggers call; SQLite's result code.
int RegisterTextFits(sqlite3* db);

class TextLengthChecks {
 public:
  // Registers the check's SQL function on the connection.
  explicit TextLengthChecks(sqlite3* db);
  TextLengthChecks(const TextLengthChecks&) = delete;
  TextLengthChecks& operator=(const TextLengthChecks&) = delete;

  // Before `statement` runs: when it writes, the checks are made again if a table has been made,
  // altered or dropped since they were made, here or on another connection, or a rollback took
  // them away. SQLite's code of a failure to read or make them, its message on the connection.
  int Before(sqlite3_stmt* statement);

  // Before a write whose statement is not at hand (another program's handle runs it): the checks
  // made again as Before makes them for one.
  int BeforeWrite() { return Check(); }

  // The connection took (or let go of) the database's write lock: while it holds it, no other
  // connection can change the schema, so one check stands for the rest of the transaction unless
  // this connection makes, alters or drops a table itself. It saves two reads on every write of
  // an audit's thousands.
  void WriteLockTaken() { underLock_ = true; }
  void WriteLockReleased() { underLock_ = checkedUnderLock_ = false; }

 private:
  int Check();
  int Make();

  sqlite3* db_;
  tsql::DeclaredColumnKinds::SchemaVersions madeUnder_;
  int made_ = 0;  // triggers made
  bool underLock_ = false;
  bool checkedUnderLock_ = false;
};

}  // namespace adodb
