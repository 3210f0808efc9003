#include "adodb/Recordset.h"

#include <algorithm>
#include <numeric>

#include "adodb/Error.h"
#include "adodb/TextCompare.h"

namespace adodb {

struct Recordset::Shared {
  ResultSet result;
  std::string sql;
  std::vector<Parameter> values;
};

namespace {

std::string_view Unbracketed(std::string_view name) {
  if (name.size() >= 2 && name.front() == '[' && name.back() == ']') return name.substr(1, name.size() - 2);
  return name;
}

std::string BracketedName(const std::string& name) { return "[" + name + "]"; }

Error NotUpdatable() {
  return {errnum::kNotUpdatable,
          "Current Recordset does not support updating. This may be a limitation of the provider, or of the selected "
          "locktype.",
          "ADODB.Recordset"};
}

Error RowNotLocated() {
  return {errnum::kRowNotLocated,
          "Row cannot be located for updating. Some values may have been changed since it was last read.",
          "Microsoft Cursor Engine"};
}

Error NoBaseTable() {
  return {errnum::kProviderError, "Insufficient base table information for updating or refreshing.",
          "Microsoft Cursor Engine"};
}

Error AmbiguousRow() {
  return {errnum::kProviderError, "Insufficient key column information for updating or refreshing.",
          "Microsoft Cursor Engine"};
}

// One base table's share of an edited row: the query that counts the rows its condition finds,
// and the statement that writes them.
struct RowWrite {
  std::string count;
  std::string update;
};

// A key the set holds only in part, or a keyless table with duplicate rows, would let one edit
// change several rows: every table's row must be found exactly once before anything is written.
// A row drawn from two tables is then written to both or to neither: inside the caller's
// transaction (whose rollback undoes both), else inside one of its own.
void WriteAllOrNothing(Backend& backend, const std::vector<RowWrite>& writes) {
  for (const RowWrite& write : writes) {
    const ResultSet matches = backend.Query(write.count);
    const long found = matches.rows.empty() ? 0 : static_cast<long>(matches.rows[0][0].AsInt64());
    if (found == 0) throw RowNotLocated();
    if (found > 1) throw AmbiguousRow();
  }
  const bool ownTransaction = writes.size() > 1 && !backend.InTransaction();
  if (ownTransaction) backend.BeginTransaction();
  try {
    for (const RowWrite& write : writes)
      if (backend.Execute(write.update) == 0) throw RowNotLocated();
  } catch (...) {
    if (ownTransaction) backend.RollbackTransaction();
    throw;
  }
  if (ownTransaction) backend.CommitTransaction();
}

// Texts compare as the database's collation orders them (case aside, trailing blanks ignored), so
// a list sorted here reads in the order its own ORDER BY would give; other values as variants do.
int SortOrderOf(const Variant& a, const Variant& b) {
  if (a.Type() == VariantType::Text && b.Type() == VariantType::Text) {
    const int c = CompareValues(a.RawText(), b.RawText());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  return Compare(a, b);
}

}  // namespace

void Recordset::Open(std::string_view sql, const std::shared_ptr<Connection>& connection, CursorType cursor,
                     LockType lock) {
  Open(sql, {}, connection, cursor, lock);
}

void Recordset::Open(std::string_view sql, const std::vector<Parameter>& values,
                     const std::shared_ptr<Connection>& connection, CursorType, LockType lock) {
  if (!connection || connection->State() != adStateOpen) {
    throw Error(errnum::kConnectionInvalid,
                "The connection cannot be used to perform this operation. It is either closed or invalid in this context.",
                "ADODB.Recordset");
  }
  if (data_) throw Error(errnum::kObjectOpen, "Operation is not allowed when the object is open.", "ADODB.Recordset");
  auto shared = std::make_shared<Shared>();
  shared->result = connection->GetBackend().Query(sql, values);
  shared->sql = std::string(sql);
  shared->values = values;
  data_ = std::move(shared);
  connection_ = connection;
  lock_ = lock == adLockUnspecified ? adLockReadOnly : lock;
  sortCriteria_.clear();
  sortKeys_.clear();
  pending_.clear();
  order_.resize(data_->result.rows.size());
  std::iota(order_.begin(), order_.end(), std::size_t{0});
  position_ = 0;
}

void Recordset::Close() {
  if (!data_) throw Error::Closed();
  data_.reset();
  connection_.reset();
  order_.clear();
  pending_.clear();
  position_ = 0;
}

long Recordset::RecordCount() const {
  if (!data_) throw Error::Closed();
  return static_cast<long>(order_.size());
}

bool Recordset::BOF() const {
  if (!data_) throw Error::Closed();
  return order_.empty() || position_ < 0;
}

bool Recordset::EOF() const {
  if (!data_) throw Error::Closed();
  return order_.empty() || position_ >= static_cast<long>(order_.size());
}

void Recordset::MoveFirst() {
  if (!data_) throw Error::Closed();
  if (order_.empty()) return;
  Update();
  position_ = 0;
  RaiseMoveComplete();
}

void Recordset::MoveLast() {
  if (!data_) throw Error::Closed();
  if (order_.empty()) return;
  Update();
  position_ = static_cast<long>(order_.size()) - 1;
  RaiseMoveComplete();
}

void Recordset::MoveNext() {
  if (EOF()) throw Error::BofOrEof();
  Update();
  ++position_;
  RaiseMoveComplete();
}

void Recordset::MovePrevious() {
  if (BOF()) throw Error::BofOrEof();
  Update();
  --position_;
  RaiseMoveComplete();
}

long Recordset::AbsolutePosition() const {
  if (BOF() || EOF()) return -1;
  return position_ + 1;
}

void Recordset::SetAbsolutePosition(long position) {
  if (!data_) throw Error::Closed();
  if (position < 1 || position > static_cast<long>(order_.size())) {
    throw Error(errnum::kArgumentOutOfRange,
                "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another.",
                "ADODB.Recordset");
  }
  Update();
  position_ = position - 1;
  RaiseMoveComplete();
}

std::size_t Recordset::FieldCount() const {
  if (!data_) throw Error::Closed();
  return data_->result.columns.size();
}

Field Recordset::Fields(std::size_t index) {
  if (index >= FieldCount()) throw Error::ItemNotFound();
  return Field(*this, index);
}

Field Recordset::Fields(std::string_view name) {
  const auto& columns = Columns();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (SameName(columns[i].name, name)) return Field(*this, i);
  }
  throw Error::ItemNotFound();
}

bool Recordset::HasField(std::string_view name) const {
  const auto& columns = Columns();
  return std::any_of(columns.begin(), columns.end(), [&](const ColumnInfo& c) { return SameName(c.name, name); });
}

const Variant& Recordset::Value(std::string_view name) const {
  const auto& columns = Columns();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (SameName(columns[i].name, name)) return Value(i);
  }
  throw Error::ItemNotFound();
}

const Variant& Recordset::Value(std::size_t index) const {
  if (!data_) throw Error::Closed();
  if (index >= data_->result.columns.size()) throw Error::ItemNotFound();
  if (BOF() || EOF()) throw Error::BofOrEof();
  for (const auto& [column, value] : pending_) {
    if (column == index) return value;
  }
  return data_->result.rows[order_[static_cast<std::size_t>(position_)]][index];
}

const ColumnInfo& Recordset::Column(std::size_t index) const {
  const auto& columns = Columns();
  if (index >= columns.size()) throw Error::ItemNotFound();
  return columns[index];
}

const std::vector<ColumnInfo>& Recordset::Columns() const {
  if (!data_) throw Error::Closed();
  return data_->result.columns;
}

std::size_t Recordset::RowIndexAt(long zeroBasedPosition) const {
  if (!data_) throw Error::Closed();
  if (zeroBasedPosition < 0 || zeroBasedPosition >= static_cast<long>(order_.size())) throw Error::SubscriptOutOfRange();
  return order_[static_cast<std::size_t>(zeroBasedPosition)];
}

Row Recordset::RowAt(std::size_t storageIndex) const {
  if (!data_) throw Error::Closed();
  if (storageIndex >= data_->result.rows.size()) throw Error::SubscriptOutOfRange();
  return data_->result.rows[storageIndex];
}

std::shared_ptr<Recordset> Recordset::Clone(LockType lock) {
  if (!data_) throw Error::Closed();
  auto clone = std::make_shared<Recordset>();
  clone->data_ = data_;
  clone->connection_ = connection_;
  clone->order_ = order_;
  clone->sortCriteria_ = sortCriteria_;
  clone->sortKeys_ = sortKeys_;
  clone->lock_ = lock == adLockUnspecified ? lock_ : lock;
  clone->position_ = 0;
  return clone;
}

void Recordset::Sort(std::string_view criteria) {
  if (!data_) throw Error::Closed();
  Update();
  std::vector<SortKey> keys;
  std::string_view rest = criteria;
  while (!Trimmed(rest).empty()) {
    const std::size_t comma = rest.find(',');
    std::string_view part = Trimmed(rest.substr(0, comma));
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    bool descending = false;
    const std::size_t blank = part.find_last_of(" \t");
    if (blank != std::string_view::npos) {
      const std::string_view direction = part.substr(blank + 1);
      if (SameName(direction, "DESC") || SameName(direction, "ASC")) {
        descending = SameName(direction, "DESC");
        part = Trimmed(part.substr(0, blank));
      }
    }
    keys.push_back({Fields(Unbracketed(part)).Index(), descending});
  }
  OrderRows(std::move(keys));
  sortCriteria_ = std::string(criteria);
}

void Recordset::SortByColumn(std::size_t index, bool descending) {
  if (!data_) throw Error::Closed();
  Update();
  OrderRows({{Fields(index).Index(), descending}});
  sortCriteria_ = "[" + Column(index).name + "]" + (descending ? " DESC" : " ASC");
}

void Recordset::OrderRows(std::vector<SortKey> keys) {
  const bool hadRow = !BOF() && !EOF();
  const std::size_t currentRow = hadRow ? order_[static_cast<std::size_t>(position_)] : 0;
  std::iota(order_.begin(), order_.end(), std::size_t{0});
  const auto& rows = data_->result.rows;
  if (!keys.empty()) {
    std::stable_sort(order_.begin(), order_.end(), [&](std::size_t a, std::size_t b) {
      for (const SortKey& key : keys) {
        const int c = SortOrderOf(rows[a][key.column], rows[b][key.column]);
        if (c != 0) return key.descending ? c > 0 : c < 0;
      }
      return false;
    });
  }
  sortKeys_ = std::move(keys);
  if (hadRow) {
    position_ = static_cast<long>(std::find(order_.begin(), order_.end(), currentRow) - order_.begin());
  } else if (!order_.empty()) {
    position_ = 0;
    RaiseMoveComplete();
  }
}

void Recordset::Requery() {
  if (!data_) throw Error::Closed();
  pending_.clear();
  auto shared = std::make_shared<Shared>();
  shared->sql = data_->sql;
  shared->values = data_->values;
  shared->result = connection_->GetBackend().Query(shared->sql, shared->values);
  data_ = std::move(shared);
  order_.resize(data_->result.rows.size());
  std::iota(order_.begin(), order_.end(), std::size_t{0});
  position_ = 0;
  if (!sortKeys_.empty()) OrderRows(sortKeys_);
  position_ = 0;
  RaiseMoveComplete();
}

void Recordset::SetValue(std::string_view name, Variant value) { SetValue(Fields(name).Index(), std::move(value)); }

void Recordset::SetValue(std::size_t index, Variant value) {
  MutableValue(index) = std::move(value);
}

Variant& Recordset::MutableValue(std::size_t index) {
  if (!data_) throw Error::Closed();
  if (lock_ == adLockReadOnly) throw NotUpdatable();
  if (index >= data_->result.columns.size()) throw Error::ItemNotFound();
  if (BOF() || EOF()) throw Error::BofOrEof();
  for (auto& [column, value] : pending_) {
    if (column == index) return value;
  }
  const Row row = data_->result.rows[order_[static_cast<std::size_t>(position_)]];
  return pending_.emplace_back(index, row[index]).second;
}

void Recordset::CancelUpdate() { pending_.clear(); }

void Recordset::Update() {
  if (pending_.empty()) return;
  if (BOF() || EOF()) throw Error::BofOrEof();
  Backend& backend = connection_->GetBackend();
  const MutableRow row = data_->result.rows.MutableAt(order_[static_cast<std::size_t>(position_)]);
  const auto& columns = data_->result.columns;

  // One UPDATE per base table touched, the row found by its key columns or else by every
  // original value the set holds of that table.
  std::vector<std::string> tables;
  for (const auto& [index, value] : pending_) {
    const std::string& table = columns[index].baseTable;
    if (table.empty()) throw NoBaseTable();
    if (std::none_of(tables.begin(), tables.end(), [&](const std::string& t) { return SameName(t, table); })) {
      tables.push_back(table);
    }
  }
  std::vector<RowWrite> writes;
  for (const std::string& table : tables) {
    std::string assignments;
    std::vector<std::string> assigned;
    for (auto it = pending_.rbegin(); it != pending_.rend(); ++it) {
      const ColumnInfo& column = columns[it->first];
      if (!SameName(column.baseTable, table)) continue;
      if (std::any_of(assigned.begin(), assigned.end(), [&](const std::string& c) { return SameName(c, column.baseColumn); })) {
        continue;
      }
      assigned.push_back(column.baseColumn);
      if (!assignments.empty()) assignments += ", ";
      assignments += BracketedName(column.baseColumn) + " = " + backend.Literal(it->second);
    }
    const bool hasKey = std::any_of(columns.begin(), columns.end(),
                                    [&](const ColumnInfo& c) { return c.isKey && SameName(c.baseTable, table); });
    std::string condition;
    std::vector<std::string> matched;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      const ColumnInfo& column = columns[i];
      if (!SameName(column.baseTable, table) || (hasKey && !column.isKey)) continue;
      if (std::any_of(matched.begin(), matched.end(), [&](const std::string& c) { return SameName(c, column.baseColumn); })) {
        continue;
      }
      matched.push_back(column.baseColumn);
      if (!condition.empty()) condition += " AND ";
      condition += BracketedName(column.baseColumn) +
                   (row[i].IsNull() ? std::string(" IS NULL") : " = " + backend.Literal(row[i]));
    }
    writes.push_back({"SELECT COUNT(*) FROM " + BracketedName(table) + " WHERE " + condition,
                      "UPDATE " + BracketedName(table) + " SET " + assignments + " WHERE " + condition});
  }
  WriteAllOrNothing(backend, writes);

  // The written values become the row's values, in every column that shows the same base column.
  for (auto& [index, value] : pending_) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (i == index || (!columns[index].baseTable.empty() && SameName(columns[i].baseTable, columns[index].baseTable) &&
                         SameName(columns[i].baseColumn, columns[index].baseColumn))) {
        row[i] = value;
      }
    }
  }
  pending_.clear();
}

void Recordset::RaiseMoveComplete() {
  if (OnMoveComplete) OnMoveComplete(*this);
}

}  // namespace adodb
