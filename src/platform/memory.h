#pragma once
// How the window's process keeps the memory it frees.

namespace qv {

/// Keeps freed blocks of up to 32 MB in the process for the next use instead of handing each
/// back to the system: every solve builds a report of megabytes and drops it, and memory fresh
/// from the system costs a page fault per page on first touch (a fifth of a large report's
/// time). Up to 64 MB of free memory is kept. Where the C library allows less (or has no
/// such settings) its own defaults stay.
void keepFreedMemoryForReuse();

} // namespace qv
