#pragma once
// How a statement's wait for another session's write lock goes, told while it goes to whoever
// watches the connection (the host tells the clerk, who otherwise sees a frozen screen). The
// watcher is called on the connection's thread from inside the waiting statement, perhaps with a
// transaction open: it must not run statements on the connection, must not run the
// application's event loop (the clerk's keys would start commands mid-statement) and must not
// throw; it only shows.
#include <functional>

namespace adodb {

enum class LockWait {
  Started,     // the statement has waited about a second and still waits
  Continuing,  // another whole second has passed
  Ended,       // the statement has the lock, or has given up: it has returned
};

// waitedMs: how long the statement has waited so far; 0 with Ended.
using LockWaitWatcher = std::function<void(LockWait stage, long waitedMs)>;

}  // namespace adodb
