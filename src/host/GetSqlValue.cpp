#include "host/GetSqlValue.h"

#include "adodb/Error.h"
#include "adodb/Recordset.h"
#include "host/TypeGroups.h"

namespace storeadjust {

void GetSqlValue::GetArrayValue() {
  if (!session_.Conn) throw adodb::Error::Closed();
  adodb::Recordset rs;
  rs.Open(kdSql_, kdValues_, session_.Conn, adodb::adOpenStatic, adodb::adLockReadOnly);
  const std::size_t columns = rs.FieldCount();
  std::vector<adodb::Variant> values(columns + 1);
  const bool empty = rs.BOF() && rs.EOF();
  values[0] = adodb::Variant(empty ? 0L : rs.RecordCount());
  if (!empty) rs.MoveFirst();
  for (std::size_t i = 0; i < columns; ++i) {
    adodb::Variant value = empty ? adodb::Variant::Null() : rs.Value(i);
    values[i + 1] = value.IsNull() ? DefaultOfGroup(SqlValueTypeGroup(rs.Column(i).type)) : std::move(value);
  }
  rs.Close();
  arrayValue_ = std::move(values);
}

}  // namespace storeadjust
