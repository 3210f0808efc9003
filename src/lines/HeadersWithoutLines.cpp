#include "lines/HeadersWithoutLines.h"

#include "adodb/Error.h"

namespace storeadjust {

void RemoveHeadersWithoutLines(Session& session, const std::string& fromWhere) {
  if (!session.Conn) throw adodb::Error::Closed();
  try {
    if (session.Conn->OpenRecordset("Select Top 1 A.Lsh " + fromWhere)->RecordCount() < 1) return;
    session.Conn->Execute("Delete A " + fromWhere);
  } catch (const adodb::Error& error) {
    if (error.GetHindrance() == adodb::Error::Hindrance::None) throw;
  }
}

}  // namespace storeadjust
