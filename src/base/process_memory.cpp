#include "base/process_memory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kalvora {

void ReturnFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void ShareAllocatorPools() {
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 1);
#endif
}

}  // namespace kalvora
