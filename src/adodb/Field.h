#pragma once
// One column of a record set's current row, as the classic Field object exposes it.
#include <string>

#include "adodb/DataType.h"
#include "adodb/Variant.h"

namespace adodb {

class Recordset;

class Field {
 public:
  Field(Recordset& owner, std::size_t index) : owner_(&owner), index_(index) {}
  const std::string& Name() const;
  DataType Type() const;
  // Value of the current row; throws Error::BofOrEof when there is no current row.
  const Variant& Value() const;
  // Changes the current row's value (editable sets only); written back by Recordset::Update.
  void SetValue(Variant v);
  std::size_t Index() const { return index_; }

 private:
  Recordset* owner_;
  std::size_t index_;
};

}  // namespace adodb
