#pragma once
// The helpers through which the module runs its queries and reads values back. Each takes the
// Session (its connection Conn, connection string ConnStr and user interface Ui).
//
// Every helper here traps its own errors: it shows the error's description in a message box
// and hands back its empty result, so the caller goes on (see each function). None throws.
// All record sets are client-side static snapshots. A statement's ? marks take `values`, in
// order (see adodb/BoundValues.h): a value never becomes statement text.
#include <cstdint>
#include <memory>
#include <string>

#include "adodb/BoundValues.h"
#include "adodb/Recordset.h"
#include "adodb/Variant.h"
#include "host/Session.h"

namespace storeadjust {

// The named column of the query's first row. A NULL value, or no row at all, gives the default
// of the column's type group (0, the date 1900-01-01, or empty text). On failure (refused
// statement, missing column, closed connection) shows the error under "系统提示" (48) and returns
// an Empty variant, which reads as empty text or 0.
adodb::Variant GetFieldValue(Session& session, const std::string& sql, const std::string& field,
                             const adodb::BoundValues& values = {});

// A read-only snapshot of the query on Conn. On failure shows the error under "Error:" (16)
// and returns null.
std::shared_ptr<adodb::Recordset> OpenRsReadOnly(Session& session, const std::string& sql,
                                                 const adodb::BoundValues& values = {});

// An editable (optimistic) snapshot of the query on Conn: changes saved with Update() are
// written through Conn, inside its open transaction. On failure as OpenRsReadOnly.
std::shared_ptr<adodb::Recordset> OpenRsEditable(Session& session, const std::string& sql,
                                                 const adodb::BoundValues& values = {});

// An editable snapshot read through a new connection opened from ConnStr: it does not see, and
// takes no part in, a transaction open on Conn. On failure as OpenRsReadOnly.
std::shared_ptr<adodb::Recordset> OpenRsSeparate(Session& session, const std::string& sql,
                                                 const adodb::BoundValues& values = {});

// A read-only snapshot read through a new connection opened from connectionString. On failure
// shows the error under "系统提示" (64) and returns null.
std::shared_ptr<adodb::Recordset> OpenRsWithConnStr(Session& session, const std::string& sql,
                                                    const std::string& connectionString,
                                                    const adodb::BoundValues& values = {});

// A connection of its own opened from connectionString: it takes no part in a transaction open on
// the session's. Throws adodb::Error.
std::shared_ptr<adodb::Connection> OpenOwnConnection(const std::string& connectionString);

// The number of rows the query returns (as a 16-bit count). On failure shows the error under
// "系统提示" (48) and returns 0.
std::int16_t CountRecords(Session& session, const std::string& sql, const adodb::BoundValues& values = {});

}  // namespace storeadjust
