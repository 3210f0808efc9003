#pragma once
// A client-side static snapshot in the shape of the classic ADO Recordset (cursor location
// client, cursor type static). All rows are read when it opens. Clones share the rows and have
// a position and sort order of their own. An editable set (optimistic lock) on a single-table
// query writes a changed row back through its connection on Update(), inside whatever
// transaction that connection has open; the row is found by the table's key columns, or by all
// original values when the table has no key.
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "adodb/Connection.h"
#include "adodb/Field.h"
#include "adodb/ResultSet.h"

// The classic member name EOF collides with the C library's macro; the macro is read through
// std::char_traits<char>::eof() instead in this code base. <cstdio> is included above so a later
// inclusion cannot bring the macro back.
#ifdef EOF
#undef EOF
#endif

namespace adodb {

class Recordset : public std::enable_shared_from_this<Recordset> {
 public:
  Recordset() = default;
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;

  // Runs sql on connection and reads every row. The set keeps a reference to the connection for
  // Requery and Update. Throws adodb::Error on failure.
  void Open(std::string_view sql, const std::shared_ptr<Connection>& connection, CursorType cursor = adOpenStatic,
            LockType lock = adLockReadOnly);
  // The same with the statement's ? marks bound to `values` (kept for Requery).
  void Open(std::string_view sql, const std::vector<Parameter>& values, const std::shared_ptr<Connection>& connection,
            CursorType cursor = adOpenStatic, LockType lock = adLockReadOnly);
  void Close();
  int State() const { return data_ ? adStateOpen : adStateClosed; }
  LockType Lock() const { return lock_; }

  long RecordCount() const;
  bool BOF() const;
  bool EOF() const;
  void MoveFirst();
  void MoveLast();
  void MoveNext();
  void MovePrevious();
  // 1-based position of the current row in the current order; -1 (adPosUnknown) at BOF/EOF/empty.
  long AbsolutePosition() const;
  void SetAbsolutePosition(long position);

  std::size_t FieldCount() const;
  Field Fields(std::size_t index);
  Field Fields(std::string_view name);  // case-insensitive; first match; throws Error::ItemNotFound
  const Variant& Value(std::string_view name) const;  // current row's value by name
  const Variant& Value(std::size_t index) const;
  const ColumnInfo& Column(std::size_t index) const;
  bool HasField(std::string_view name) const;

  // A new set over the same rows with its own position (at the first row) and sort order.
  std::shared_ptr<Recordset> Clone(LockType lock = adLockUnspecified);
  // "col DESC, other ASC"; empty text restores the query's order. Stays on the same row when it can.
  void Sort(std::string_view criteria);
  // The same by one column's place: a column the server left without a name has none to sort by.
  void SortByColumn(std::size_t index, bool descending);
  const std::string& SortCriteria() const { return sortCriteria_; }
  // Runs the query again on the same connection; moves to the first row.
  void Requery();

  // Editing (optimistic sets).
  void SetValue(std::string_view name, Variant value);
  void SetValue(std::size_t index, Variant value);
  void Update();        // writes the current row's changes back; throws adodb::Error
  void CancelUpdate();  // drops unsaved changes of the current row

  // Move-complete notification, raised after every change of the current row.
  std::function<void(Recordset&)> OnMoveComplete;

  // The rows in the set's current order (for grids that show the whole set).
  std::size_t RowIndexAt(long zeroBasedPosition) const;
  Row RowAt(std::size_t storageIndex) const;
  const std::vector<ColumnInfo>& Columns() const;

 private:
  struct Shared;  // rows + columns + query text, shared by clones
  friend class Field;
  Variant& MutableValue(std::size_t index);
  void RaiseMoveComplete();

  std::shared_ptr<Shared> data_;
  std::shared_ptr<Connection> connection_;
  std::vector<std::size_t> order_;  // storage indices in current order
  long position_ = 0;               // 0-based into order_; -1 BOF; order_.size() EOF
  LockType lock_ = adLockReadOnly;
  std::string sortCriteria_;
  struct SortKey {
    std::size_t column;
    bool descending;
  };
  std::vector<SortKey> sortKeys_;  // the order sortCriteria_ names, kept by place for Requery
  void OrderRows(std::vector<SortKey> keys);
  std::vector<std::pair<std::size_t, Variant>> pending_;  // unsaved edits of the current row
};

}  // namespace adodb
