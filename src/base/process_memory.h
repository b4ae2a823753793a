#pragma once
// The memory of the process as the system counts it: freed memory the allocator keeps is still the
// program's until it is handed back.

namespace kalvora {

// Hands the memory freed so far back to the system (after a cache was made smaller, or a large
// structure let go), so that what is freed before the next step does not add to that step's peak.
void ReturnFreedMemory();

// Lets the threads of a long job share the allocator's pools: each thread's own pool would keep memory
// freed by the others to itself.
void ShareAllocatorPools();

}  // namespace kalvora
