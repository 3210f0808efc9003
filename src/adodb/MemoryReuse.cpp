#include "adodb/MemoryReuse.h"

#include <mutex>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace adodb {

namespace {

// A screen's record set of 100,000 rows holds some 40 MB of values. By default glibc gives the
// freed top of its heap back to the system once it exceeds a few hundred kilobytes, and maps
// large single allocations fresh each time; the next load then faults every page in again,
// which costs more than reading the rows from SQLite. Keeping up to this much freed memory lets
// a reload (browser refresh, the next bill in the editor) reuse pages already touched.
constexpr int kKeptFreeBytes = 128 * 1024 * 1024;
// The largest threshold glibc accepts: large allocations (a sort order of 100,000 rows, say)
// come from the heap, and so from the memory kept above, rather than from a new mapping.
constexpr int kLargestHeapAllocation = 32 * 1024 * 1024;

}  // namespace

void KeepFreedMemoryForReuse() {
#ifdef __GLIBC__
  static std::once_flag once;
  std::call_once(once, [] {
    mallopt(M_TRIM_THRESHOLD, kKeptFreeBytes);
    mallopt(M_MMAP_THRESHOLD, kLargestHeapAllocation);
  });
#endif
}

}  // namespace adodb
