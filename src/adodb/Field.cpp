#include "adodb/Field.h"

#include "adodb/Recordset.h"

namespace adodb {

const std::string& Field::Name() const { return owner_->Column(index_).name; }
DataType Field::Type() const { return owner_->Column(index_).type; }
const Variant& Field::Value() const { return owner_->Value(index_); }
void Field::SetValue(Variant v) { owner_->SetValue(index_, std::move(v)); }

}  // namespace adodb
