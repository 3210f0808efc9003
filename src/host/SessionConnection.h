#pragma once
// The session's own connection, through which the screens read and change bills. When another
// clerk's process holds the file's write lock, a statement waits for it (up to the backend's
// busy timeout) with the screen still; after about a second the clerk reads why, through the
// session's interface, until the wait ends.
#include <string>

#include "host/Session.h"

namespace storeadjust {

// Opens session.Conn from session.ConnStr; its lock waits are told through session.Ui (which
// must outlive the connection). Throws adodb::Error as Connection::Open does.
void OpenSessionConnection(Session& session);

// The words the clerk reads after waitedMs of waiting.
std::string LockWaitText(long waitedMs);

}  // namespace storeadjust
