#pragma once
// Tells the C library's allocator to keep memory a closed result set frees for the next one,
// instead of handing it back to the system after every close. Called once per process, when the
// first connection opens; later calls do nothing.
namespace adodb {

void KeepFreedMemoryForReuse();

}  // namespace adodb
